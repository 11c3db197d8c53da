#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

namespace ramivo {

namespace {

constexpr std::size_t kReadBufferBytes = 1 << 16;
// Large enough that a report is written in few system calls.
constexpr std::size_t kWriteBufferBytes = 1 << 20;
constexpr char kCtrlZ = 26;

class FileSink : public ByteSink {
 public:
  FileSink(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~FileSink() override {
    if (fd_ >= 0) ::close(fd_);
  }

  void Write(const char* data, std::size_t size) override {
    while (size > 0) {
      ssize_t done = ::write(fd_, data, size);
      if (done < 0) {
        if (errno == EINTR) continue;
        throw MakeIoError("write", path_, errno);
      }
      data += done;
      size -= static_cast<std::size_t>(done);
    }
  }

  void Close() override {
    int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0) throw MakeIoError("close", path_, errno);
  }

 private:
  int fd_;
  std::string path_;
};

class StringSink : public ByteSink {
 public:
  explicit StringSink(std::string& text) : text_(text) {}
  void Write(const char* data, std::size_t size) override { text_.append(data, size); }
  void Close() override {}

 private:
  std::string& text_;
};

}  // namespace

IoError MakeIoError(std::string_view verb, const std::string& path, int errno_value) {
  std::string message = "Cannot ";
  message += verb;
  message += " file \"";
  message += path;
  message += "\". ";
  message += std::strerror(errno_value);
  return IoError(message);
}

TextReader::~TextReader() {
  Close();
}

void TextReader::Open(const std::string& path) {
  Close();
  path_ = path;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw MakeIoError("open", path, errno);
  // A directory opens on Linux but cannot be read as a text file.
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    throw MakeIoError("open", path, EISDIR);
  }
  fd_ = fd;
  buffer_.resize(kReadBufferBytes);
  pos_ = end_ = 0;
  ended_ = false;
}

bool TextReader::Fill() {
  if (ended_) return false;
  for (;;) {
    ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      throw MakeIoError("read", path_, errno);
    }
    pos_ = 0;
    end_ = static_cast<std::size_t>(got);
    if (got == 0) ended_ = true;
    return got > 0;
  }
}

bool TextReader::ReadLine(std::string& line) {
  line.clear();
  if (fd_ < 0 || ended_) return false;
  if (pos_ == end_ && !Fill()) return false;
  if (buffer_[pos_] == kCtrlZ) {
    ended_ = true;
    return false;
  }
  for (;;) {
    const char* begin = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* hit = begin;
    while (hit != stop && *hit != '\n' && *hit != '\r' && *hit != kCtrlZ) ++hit;
    line.append(begin, hit);
    pos_ = static_cast<std::size_t>(hit - buffer_.data());
    if (hit == stop) {
      if (!Fill()) return true;  // last line without a line end
      continue;
    }
    ++pos_;
    if (*hit == '\n') return true;
    if (*hit == kCtrlZ) {
      ended_ = true;
      return true;
    }
    // A CR is dropped wherever it stands; before LF it is part of the line end.
  }
}

void TextReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ended_ = true;
}

TextWriter::TextWriter() = default;

TextWriter::~TextWriter() {
  try {
    Close();
  } catch (const IoError&) {
    // A failure is reported by the Close that ends a run normally; unwinding keeps quiet.
  }
}

void TextWriter::Create(const std::string& path) {
  Attach(CreateFileSink(path));
}

void TextWriter::Attach(std::unique_ptr<ByteSink> sink) {
  Close();
  sink_ = std::move(sink);
  buffer_.resize(kWriteBufferBytes);
  used_ = 0;
}

void TextWriter::WriteLine(std::string_view head, std::string_view text) {
  const std::size_t size = head.size() + text.size() + 2;
  if (used_ + size > buffer_.size()) {
    Flush();
    // A line longer than the buffer goes straight through, after what was handed over.
    if (size > buffer_.size()) {
      WaitForWriter();
      sink_->Write(head.data(), head.size());
      sink_->Write(text.data(), text.size());
      sink_->Write("\r\n", 2);
      return;
    }
  }
  char* at = buffer_.data() + used_;
  if (!head.empty()) std::memcpy(at, head.data(), head.size());
  if (!text.empty()) std::memcpy(at + head.size(), text.data(), text.size());
  at[size - 2] = '\r';
  at[size - 1] = '\n';
  used_ += size;
}

void TextWriter::Flush() {
  if (used_ == 0) return;
  WaitForWriter();
  if (!writer_.joinable()) {
    handed_.resize(buffer_.size());
    try {
      writer_ = std::thread([this] { WriteBehind(); });
    } catch (const std::system_error&) {
      // No thread to be had: this buffer is written here, and the next Flush tries again.
      std::size_t size = std::exchange(used_, 0);  // a failed write is not retried by Close
      sink_->Write(buffer_.data(), size);
      return;
    }
  }
  std::swap(buffer_, handed_);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handed_size_ = std::exchange(used_, 0);
  }
  handed_over_.notify_one();
}

void TextWriter::WaitForWriter() {
  if (!writer_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  written_.wait(lock, [this] { return handed_size_ == 0; });
  if (failure_) {
    used_ = 0;
    std::rethrow_exception(std::exchange(failure_, nullptr));
  }
}

void TextWriter::StopWriter() {
  if (!writer_.joinable()) return;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    written_.wait(lock, [this] { return handed_size_ == 0; });
    stopping_ = true;
  }
  handed_over_.notify_one();
  writer_.join();
  stopping_ = false;
}

void TextWriter::WriteBehind() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    handed_over_.wait(lock, [this] { return handed_size_ != 0 || stopping_; });
    if (handed_size_ == 0) return;
    const std::size_t size = handed_size_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      sink_->Write(handed_.data(), size);
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    failure_ = failure;
    handed_size_ = 0;
    written_.notify_one();
  }
}

void TextWriter::Close() {
  if (!sink_) return;
  StopWriter();
  std::unique_ptr<ByteSink> sink = std::move(sink_);  // closed by its destructor on failure
  std::size_t size = std::exchange(used_, 0);
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
  if (size > 0) sink->Write(buffer_.data(), size);
  sink->Close();
}

std::unique_ptr<ByteSink> CreateStringSink(std::string& text) {
  return std::make_unique<StringSink>(text);
}

std::unique_ptr<ByteSink> CreateFileSink(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw MakeIoError("create", path, errno);
  return std::make_unique<FileSink>(fd, path);
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::unique_ptr<ByteSink> file = CreateFileSink(path);
  file->Write(bytes.data(), bytes.size());
  file->Close();
}

}  // namespace ramivo
