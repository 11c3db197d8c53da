// The options of ramivo-cli that add to a run: --count, --dot, --svg, --pla.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::BatchOutcome;
using testing::ReadFile;
using testing::RunBatchCaptured;
using testing::TempDir;

const std::string kReports = std::string(RAMIVO_TEST_DATA) + "/reports/";

constexpr const char* kSuccess = "Výpočet úspěšně ukončen\n";
constexpr const char* kFormal = "Warning: Formalní chyby v zadání BDD. Výpočet končí.\n";
constexpr const char* kStructure =
    "Warning: Struktura BDD neumožňuje provést zadání. Výpočet končí.\n";
constexpr const char* kNoPath = "Warning: Žádná cesta nevede k hledanému konci. Výpočet končí.\n";
constexpr const char* kTooMany = "Warning: Příliš mnoho součinů. Výpočet končí.\n";
constexpr const char* kEmpty = "Warning: Vstupni soubor je prázdný. Výpočet končí.\n";

// The reports of every bundled input stay byte for byte what they are without options; the
// count line stands ahead of each run's message lines.
TEST(BatchOptions, ReportsAndVerdictsUnchanged) {
  const char* names[] = {"start_mid_hi", "eight_findings", "root_no", "long_products",
                         "cycle",        "no_start",       "empty",   "mixed_errors"};
  TempDir dir;
  std::vector<std::string> args = {"--count", "--dot", "--pla"};
  for (const char* name : names) {
    std::string input = dir.path() + "/" + name + ".txt";
    std::filesystem::copy_file(kReports + name + ".txt", input);
    args.push_back(input);
  }
  BatchOutcome outcome = RunBatchCaptured(args);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "");
  for (const char* name : names) {
    EXPECT_EQ(ReadFile(dir.path() + "/" + name + ".txt.Out"),
              ReadFile(kReports + name + ".expected"))
        << name;
  }
  EXPECT_EQ(outcome.out,
            std::string("Paths: sought 3, other 2, dead 0\n") + kSuccess +
                "Paths: not counted, the description has errors\n" + kFormal + kStructure +
                "Paths: sought 3, other 3, dead 0\n" + kSuccess +
                "Paths: sought 4, other 4, dead 0\n" + kSuccess + "Paths: not counted, a cycle\n" +
                kStructure + "Paths: not counted, no start node\n" + kNoPath +
                "Paths: not counted, the description has errors\n" + kEmpty +
                "Paths: not counted, the description has errors\n" + kFormal + kStructure);
}

std::string Ladder(int rungs) {
  std::string text;
  for (int rung = 1; rung <= rungs; ++rung) {
    std::string next = rung < rungs ? "L" + std::to_string(rung + 1) : "ANO";
    text +=
        "L" + std::to_string(rung) + " C" + std::to_string(rung) + " " + next + " " + next + "\n";
  }
  return text;
}

TEST(BatchOptions, CountLine) {
  struct Case {
    const char* label;
    std::string description;
    std::string out;
  };
  const Case cases[] = {
      {"nothing sought can be reached: counted after the search", "A x NE NIC\nENDBDD ANO A\n",
       std::string("Paths: sought 0, other 1, dead 1\n") + kNoPath},
      {"a cycle among nodes that reach no sought end", "A x B NE\nB y A NIC\nENDBDD ANO A\n",
       std::string("Paths: not counted, a cycle\n") + kNoPath},
      {"a cycle that cannot be reached", "S s NE ANO\nA x B ANO\nB y A NE\nENDBDD ANO S\n",
       std::string("Paths: sought 1, other 1, dead 0\n") + kSuccess},
      {"more paths than the store holds", Ladder(16),
       std::string("Paths: sought 65536, other 0, dead 0\n") + kTooMany},
      {"paths counted, contradictory ones too", "A x B NE\nB x NE ANO\n",
       std::string("Paths: sought 1, other 2, dead 0\n") + kSuccess},
  };
  for (const Case& c : cases) {
    TempDir dir;
    BatchOutcome outcome = RunBatchCaptured({"--count", dir.Write("net.txt", c.description)});
    EXPECT_EQ(outcome.out, c.out) << c.label;
  }
}

TEST(BatchOptions, NoCountLineForARunThatCannotRead) {
  TempDir dir;
  std::string missing = dir.path() + "/missing.txt";
  BatchOutcome outcome = RunBatchCaptured({"--count", "--dot", "--pla", missing});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err, "Cannot open file \"" + missing + "\". No such file or directory\n");
}

// An export that cannot be written is a failure of the environment: exit status 2, the
// reason on standard error, and the next FILE still runs.
TEST(BatchOptions, ExportThatCannotBeWrittenExitsTwo) {
  for (const char* option : {"--dot", "--pla"}) {
    SCOPED_TRACE(option);
    TempDir dir;
    std::string blocked = dir.Write("blocked.txt", "A x NE ANO\n");
    std::string extension = std::string(option).substr(1);
    extension[0] = '.';
    std::filesystem::create_directory(blocked + extension);
    std::string good = dir.Write("good.txt", "A x NE ANO\n");
    BatchOutcome outcome = RunBatchCaptured({option, blocked, good});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "Cannot create file \"" + blocked + extension + "\". Is a directory\n");
    EXPECT_EQ(outcome.out, std::string(kSuccess) + kSuccess);
    EXPECT_TRUE(std::filesystem::exists(good + extension));
  }
}

TEST(BatchOptions, SvgWithoutGraphvizExitsTwo) {
  TempDir dir;
  std::string input = dir.Write("net.txt", "A x NE ANO\n");
  std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
  setenv("PATH", dir.path().c_str(), 1);
  BatchOutcome outcome = RunBatchCaptured({"--svg", input});
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err.rfind("Cannot render file \"" + input + ".svg\". Graphviz's dot", 0), 0u)
      << outcome.err;
  EXPECT_TRUE(std::filesystem::exists(input + ".dot"));
  EXPECT_FALSE(std::filesystem::exists(input + ".svg"));
}

TEST(BatchOptions, HelpDocumentsEachOption) {
  BatchOutcome outcome = RunBatchCaptured({"--help"});
  EXPECT_EQ(outcome.status, 0);
  for (const char* text : {"--count", "--dot", "--svg", "--pla", "--help", "Paths: sought",
                           "Paths: not counted", "FILE.dot", "FILE.svg", "FILE.pla"}) {
    EXPECT_NE(outcome.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace ramivo
