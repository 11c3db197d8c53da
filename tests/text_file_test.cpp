#include "core/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ramivo {
namespace {

std::vector<std::string> ReadAll(const std::string& bytes) {
  testing::TempDir dir;
  TextReader reader;
  reader.Open(dir.Write("in.txt", bytes));
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  return lines;
}

TEST(TextReader, LineEnds) {
  struct Case {
    const char* label;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"empty file", "", {}},
      {"LF ends a line", "a b\nc d\n", {"a b", "c d"}},
      {"CR LF ends a line", "a b\r\nc d\r\n", {"a b", "c d"}},
      {"lone CR is dropped without ending the line", "a\rb\nc\r", {"ab", "c"}},
      {"CR CR LF", "a\r\r\nb", {"a", "b"}},
      {"last line without line end", "a\nlast", {"a", "last"}},
      {"empty lines are returned", "\n\r\n\nx\n", {"", "", "", "x"}},
      {"Ctrl-Z at the start of a line ends the input",
       "a\n\x1A"
       "b\n",
       {"a"}},
      {"Ctrl-Z at the start of the file",
       "\x1A"
       "a\n",
       {}},
      {"Ctrl-Z inside a line ends its text and the input",
       "ab\x1A"
       "cd\nef\n",
       {"ab"}},
      {"tabs and high bytes pass unchanged", "a\tb\xE8\xFF\n", {"a\tb\xE8\xFF"}},
      {"NUL bytes pass unchanged", std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadAll(c.bytes), c.lines) << c.label;
  }
}

TEST(TextReader, LineLongerThanTheBuffer) {
  std::string long_line(300000, 'x');
  long_line[123456] = '\r';  // dropped wherever it stands
  std::string expected = long_line;
  expected.erase(123456, 1);
  EXPECT_EQ(ReadAll(long_line + "\r\nnext"), (std::vector<std::string>{expected, "next"}));
}

TEST(TextReader, MissingFileNamesFileAndReason) {
  testing::TempDir dir;
  TextReader reader;
  std::string path = dir.path() + "/net.txt";
  try {
    reader.Open(path);
    FAIL() << "no error";
  } catch (const IoError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot open file \"" + path + "\". No such file or directory");
  }
}

TEST(TextWriter, EndsEveryLineWithCrLfAndKeepsTrailingBlanks) {
  testing::TempDir dir;
  std::string path = dir.path() + "/out.txt";
  TextWriter writer;
  writer.Create(path);
  writer.WriteLine("10 =  Mid     ");
  writer.WriteLine("");
  writer.WriteLine(std::string(100000, 'y'));
  writer.WriteLine("end");
  writer.Close();
  EXPECT_EQ(testing::ReadFile(path),
            "10 =  Mid     \r\n\r\n" + std::string(100000, 'y') + "\r\nend\r\n");
}

// A report of many buffers: full buffers are written by the writer's second thread while the
// next is filled, and a line longer than a buffer goes straight through after them. The bytes
// must arrive whole and in order.
TEST(TextWriter, ReportOfManyBuffersArrivesInOrder) {
  std::string written;
  std::string expected;
  TextWriter writer;
  writer.Attach(CreateStringSink(written));
  for (int i = 0; i < 400000; ++i) {
    std::string line = std::to_string(i) + std::string(i % 23, i % 2 ? ' ' : '-');
    if (i == 200000) line = std::string(3 << 20, 'L');
    writer.WriteLine(line);
    expected += line + "\r\n";
  }
  writer.Close();
  ASSERT_GT(expected.size(), 8u << 20);
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_TRUE(written == expected);
  EXPECT_FALSE(writer.IsOpen());
}

// A destination that takes `room` bytes, then fails every write; it notes its Close.
class FailingSink : public ByteSink {
 public:
  FailingSink(std::string& text, std::size_t room, bool& closed)
      : text_(text), room_(room), closed_(closed) {}
  void Write(const char* data, std::size_t size) override {
    const std::size_t fits = std::min(size, room_);
    text_.append(data, fits);
    room_ -= fits;
    if (fits < size) throw MakeIoError("write", "report", ENOSPC);
  }
  void Close() override { closed_ = true; }

 private:
  std::string& text_;
  std::size_t room_;
  bool& closed_;
};

// A write that fails in the second thread is thrown in the writing one, by a later WriteLine
// or by Close; what was written before stays, nothing is written after it, and the sink is
// released.
TEST(TextWriter, FailureOfAWriteBehindIsThrownOnce) {
  const std::string line(1000, 'x');
  for (std::size_t room : {std::size_t{0}, std::size_t{1} << 20, std::size_t{5} << 20}) {
    SCOPED_TRACE(room);
    std::string written;
    bool closed = false;
    int thrown = 0;
    std::string message;
    {
      TextWriter writer;
      writer.Attach(std::make_unique<FailingSink>(written, room, closed));
      try {
        for (int i = 0; i < 20000; ++i) writer.WriteLine(line);
      } catch (const IoError& error) {
        ++thrown;
        message = error.what();
      }
      try {
        writer.Close();
      } catch (const IoError& error) {
        ++thrown;
        message = error.what();
      }
      EXPECT_FALSE(writer.IsOpen());
      writer.Close();  // nothing left to throw
    }
    EXPECT_EQ(thrown, 1);
    EXPECT_EQ(message, "Cannot write file \"report\". " + std::string(std::strerror(ENOSPC)));
    EXPECT_EQ(written.size(), room);
    EXPECT_TRUE(closed);
  }
}

}  // namespace
}  // namespace ramivo
