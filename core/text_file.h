// Text files with I/O checking: the description is read line by line, the report written
// line by line with CR LF. Every failure of the environment throws IoError, whose message
// names the file and the system's reason.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ramivo {

class IoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `Cannot <verb> file "<path>". <reason of errno_value>`
IoError MakeIoError(std::string_view verb, const std::string& path, int errno_value);

// Reads a description: a line ends at LF; every CR is dropped (so CR LF and LF end a line
// and a lone CR ends nothing); a last line without LF is read; lines have no length limit
// and bytes pass unchanged. Ctrl-Z (26) ends the input: at the start of a line at once, inside
// a line after the text before it has been returned as the last line.
class TextReader {
 public:
  TextReader() = default;
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;
  ~TextReader();

  void Open(const std::string& path);
  // Fills `line` with the next line; false at the end of the input.
  bool ReadLine(std::string& line);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

 private:
  bool Fill();

  int fd_ = -1;
  std::string path_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

// Destination of the report's bytes; the real one is a file, tests may put in another.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all `size` bytes or throws IoError.
  virtual void Write(const char* data, std::size_t size) = 0;
  // Releases the destination; throws IoError when that fails.
  virtual void Close() = 0;
};

// Writes report lines, each ended by CR LF, through a buffer. Close (and the destructor,
// which swallows errors) writes what is buffered, so the lines written before a failure stay.
//
// A full buffer is written by a second thread while the next one is filled, so that making
// a large report and the system's copying of it overlap; a report that fits in one buffer
// never starts that thread. A failure of such a write is thrown by the next WriteLine that
// fills a buffer, or by Close; nothing is written after it.
class TextWriter {
 public:
  TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  ~TextWriter();

  // Creates or empties the file.
  void Create(const std::string& path);
  // Writes to a sink of the caller's (tests, in-memory reports).
  void Attach(std::unique_ptr<ByteSink> sink);
  void WriteLine(std::string_view text) { WriteLine(std::string_view(), text); }
  // One line made of `head` followed by `text`, without joining them first.
  void WriteLine(std::string_view head, std::string_view text);
  void Close();
  bool IsOpen() const { return sink_ != nullptr; }

 private:
  void Flush();
  // Until the buffer handed to the writing thread is written; throws the failure of that
  // write, after which the buffer being filled is dropped.
  void WaitForWriter();
  void StopWriter();
  void WriteBehind();  // the writing thread

  std::unique_ptr<ByteSink> sink_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;

  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable handed_over_;  // to the writing thread: a buffer, or stop
  std::condition_variable written_;      // from it: the handed buffer is written
  std::vector<char> handed_;             // the buffer the writing thread owns
  std::size_t handed_size_ = 0;          // nonzero from the hand-over until it is written
  bool stopping_ = false;
  std::exception_ptr failure_;
};

// The file's own sink: POSIX write() with retries on EINTR and partial writes.
std::unique_ptr<ByteSink> CreateFileSink(const std::string& path);
// A sink that appends to `text`, which must outlive it: a report kept in memory.
std::unique_ptr<ByteSink> CreateStringSink(std::string& text);
// Creates or empties the file at `path` and writes `bytes` into it as they are.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace ramivo
