#include "cli/batch_tool.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::BatchOutcome;
using testing::ReadFile;
using testing::RunBatchCaptured;
using testing::TempDir;

const std::string kReports = std::string(RAMIVO_TEST_DATA) + "/reports/";

// Whole reports of the real program, byte for byte, for the bundled inputs.
TEST(BatchTool, ReportsMatchExpectedFiles) {
  const char* names[] = {"start_mid_hi", "eight_findings", "root_no", "long_products",
                         "cycle",        "no_start",       "empty",   "mixed_errors"};
  TempDir dir;
  std::string command = std::string(RAMIVO_CLI);
  for (const char* name : names) {
    std::string input = dir.path() + "/" + name + ".txt";
    std::filesystem::copy_file(kReports + name + ".txt", input);
    command += " " + input;
  }
  int status = std::system((command + " > " + dir.path() + "/stdout").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  for (const char* name : names) {
    EXPECT_EQ(ReadFile(dir.path() + "/" + name + ".txt.Out"),
              ReadFile(kReports + name + ".expected"))
        << name;
  }
  EXPECT_EQ(ReadFile(dir.path() + "/stdout"),
            "Výpočet úspěšně ukončen\n"
            "Warning: Formalní chyby v zadání BDD. Výpočet končí.\n"
            "Warning: Struktura BDD neumožňuje provést zadání. Výpočet končí.\n"
            "Výpočet úspěšně ukončen\n"
            "Výpočet úspěšně ukončen\n"
            "Warning: Struktura BDD neumožňuje provést zadání. Výpočet končí.\n"
            "Warning: Žádná cesta nevede k hledanému konci. Výpočet končí.\n"
            "Warning: Vstupni soubor je prázdný. Výpočet končí.\n"
            "Warning: Formalní chyby v zadání BDD. Výpočet končí.\n"
            "Warning: Struktura BDD neumožňuje provést zadání. Výpočet končí.\n");
}

TEST(BatchTool, ExitStatus) {
  TempDir dir;
  std::string good = dir.Write("good.txt", "A x NE ANO\n");
  std::string bad = dir.Write("bad.txt", "A x NE\n");
  std::string missing = dir.path() + "/missing.txt";
  struct Case {
    const char* label;
    std::vector<std::string> args;
    int status;
    bool usage_on_out, usage_on_err;
  };
  const Case cases[] = {
      {"every run succeeds", {good, good}, 0, false, false},
      {"a description fails", {good, bad, good}, 1, false, false},
      {"an I/O error wins over a failed description", {bad, missing, good}, 2, false, false},
      {"help", {"--help"}, 0, true, false},
      {"no file", {}, 2, false, true},
      {"unknown option", {"--frobnicate", good}, 2, false, true},
      {"empty file name", {""}, 2, false, false},
  };
  for (const Case& c : cases) {
    BatchOutcome outcome = RunBatchCaptured(c.args);
    EXPECT_EQ(outcome.status, c.status) << c.label;
    EXPECT_EQ(outcome.out.find("Usage: ramivo-cli") != std::string::npos, c.usage_on_out)
        << c.label;
    EXPECT_EQ(outcome.err.find("Usage: ramivo-cli") != std::string::npos, c.usage_on_err)
        << c.label;
  }
}

TEST(BatchTool, IoErrorGoesToStandardErrorAndTheNextFileRuns) {
  TempDir dir;
  std::string missing = dir.path() + "/missing.txt";
  std::string good = dir.Write("good.txt", "A x NE ANO\n");
  BatchOutcome outcome = RunBatchCaptured({"--", missing, good});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err, "Cannot open file \"" + missing + "\". No such file or directory\n");
  EXPECT_EQ(outcome.out, "Výpočet úspěšně ukončen\n");
  EXPECT_TRUE(std::filesystem::exists(good + ".Out"));
}

}  // namespace
}  // namespace ramivo
