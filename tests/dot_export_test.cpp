#include "cli/dot_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReadFile;
using testing::TempDir;

const std::string kData = std::string(RAMIVO_TEST_DATA) + "/";

// Copies `source` (below the test data) into `dir` and runs ramivo-cli with `options` on it.
std::string RunCli(const TempDir& dir, const std::string& source, std::vector<std::string> options,
                   int* status = nullptr) {
  std::string input = dir.path() + "/" + std::filesystem::path(source).filename().string();
  std::filesystem::copy_file(kData + source, input);
  options.push_back(input);
  std::ostringstream out, err;
  int result = RunBatch(options, out, err);
  if (status != nullptr) *status = result;
  return input;
}

bool GraphvizInstalled() {
  return std::system("command -v dot > /dev/null 2>&1") == 0;
}

// Every style at once: an end line naming the start node and the NE kind, terminal words
// folded (F, YES), a condition and a node written in another letter case later on, the four
// ends, two nodes that cannot be reached and three on no path to the sought end.
TEST(DotExport, DiagramMatchesExpectedFile) {
  TempDir dir;
  std::string input = RunCli(dir, "exports/drawing.txt", {"--dot"});
  EXPECT_EQ(ReadFile(input + ".dot"), ReadFile(kData + "exports/drawing.dot"));
}

// Only a description read without errors is drawn; a cycle or a missing start node is found
// by the search and still drawn (the picture shows why).
TEST(DotExport, WrittenForDescriptionsReadWithoutErrors) {
  struct Case {
    const char* input;
    bool drawn;
    std::vector<std::string> contains;
    std::vector<std::string> lacks;
  };
  const Case cases[] = {
      {"reports/cycle.txt",
       true,
       {"start -> n10;", "n10 -> n11 [style=dashed];", "n11 -> n10 [style=dashed];"},
       {"grey"}},
      // Without a start node nothing can be reached: every node grey, no entry arrow.
      {"reports/no_start.txt",
       true,
       {"n10 [label=\"A\\nx\", color=grey, fontcolor=grey];",
        "n11 [label=\"B\\ny\", color=grey, fontcolor=grey];"},
       {"start ->"}},
      {"reports/eight_findings.txt", false, {}, {}},
      {"reports/mixed_errors.txt", false, {}, {}},
      {"reports/empty.txt", false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    TempDir dir;
    std::string input = RunCli(dir, c.input, {"--dot"});
    ASSERT_EQ(std::filesystem::exists(input + ".dot"), c.drawn);
    if (!c.drawn) continue;
    std::string dot = ReadFile(input + ".dot");
    for (const std::string& text : c.contains) EXPECT_NE(dot.find(text), std::string::npos) << text;
    for (const std::string& text : c.lacks) EXPECT_EQ(dot.find(text), std::string::npos) << text;
  }
}

TEST(DotExport, GraphvizRendersEveryDrawing) {
  if (!GraphvizInstalled()) GTEST_SKIP() << "Graphviz's dot is not installed";
  const char* inputs[] = {"exports/drawing.txt", "reports/start_mid_hi.txt", "reports/cycle.txt",
                          "reports/no_start.txt", "exports/wide.txt"};
  for (const char* source : inputs) {
    SCOPED_TRACE(source);
    TempDir dir;
    int status = -1;
    std::string input = RunCli(dir, source, {"--svg"}, &status);
    EXPECT_NE(status, 2);
    ASSERT_TRUE(std::filesystem::exists(input + ".svg"));
    EXPECT_NE(ReadFile(input + ".svg").find("<svg"), std::string::npos);
  }
}

}  // namespace
}  // namespace ramivo
