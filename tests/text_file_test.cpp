#include "core/text_file.h"

#include <gtest/gtest.h>

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
  writer.WriteLine(std::string(100000, 'y'));  // longer than the buffer
  writer.WriteLine("end");
  writer.Close();
  EXPECT_EQ(testing::ReadFile(path),
            "10 =  Mid     \r\n\r\n" + std::string(100000, 'y') + "\r\nend\r\n");
}

}  // namespace
}  // namespace ramivo
