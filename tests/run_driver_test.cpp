#include "core/run_driver.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReportLines;
using testing::RunOn;

TEST(RunDriver, CompleteReportOfTheFourLineDescription) {
  auto state = std::make_unique<AnalysisState>();
  auto result =
      RunOn(*state, "Start  a  Mid  Hi\nMid  b  NE  ANO\nHi  c  Mid  T\nENDBDD ANO Start\n");
  std::vector<std::string> expected = {
      "Kontrolni vypis zadani BDD s ocislovanymi radky",
      "vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :",
      " 1: Start  a  Mid  Hi",
      " 2: Mid  b  NE  ANO",
      " 3: Hi  c  Mid  T",
      " 4: ENDBDD ANO Start",
      " Prohledavani BDD zacne uzlem: Start   ",
      " hledaji se konce typu ANO",
      "Pouzite uzly: kod, jmeno ",
      "10 =  Start   ",
      "11 =  Mid     ",
      "12 =  Hi      ",
      " ****trasa 1",
      " -10 11",
      " ****trasa 2",
      " 10 -12 11",
      " ****trasa 3",
      " 10 12",
      "Kontrolni vypis - nalezene souciny:",
      " #1:   b -a",
      " #2:   a  b -c",
      " #3:   a  c",
      "Vysledek - neredundantni souciny, uvedene vzestupne:",
      " #1:   b -a",
      " #2:   a  c",
      " #3:   a  b -c",
  };
  EXPECT_EQ(ReportLines(result.report), expected);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].first, kMsgSuccess);
  EXPECT_EQ(result.messages[0].second, MessageKind::kPlain);
}

}  // namespace
}  // namespace ramivo

namespace ramivo {
namespace {

using testing::ReadFile;
using testing::RecordingPlatform;
using testing::TempDir;

std::vector<std::string> Texts(const std::vector<std::pair<std::string, MessageKind>>& messages) {
  std::vector<std::string> texts;
  for (const auto& [text, kind] : messages) {
    texts.push_back(text);
    EXPECT_EQ(kind, text == kMsgSuccess ? MessageKind::kPlain : MessageKind::kWarning) << text;
  }
  return texts;
}

TEST(RunDriver, Verdicts) {
  struct Case {
    const char* label;
    const char* description;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"success", "A x NE ANO\n", {kMsgSuccess}},
      {"only empty lines", "\n\r\n\n", {kMsgEmptyInput}},
      {"empty file", "", {kMsgEmptyInput}},
      {"blank line is counted and parsed", "  \n", {kMsgFormal}},
      {"formal and structure, formal first", "A x A ANO\nB c NE\n", {kMsgFormal, kMsgStructure}},
      {"long name only", "A x NE Abcdefghi\n", {kMsgFormal}},
      {"no reachable node leads to the sought end", "A x NE NIC\n", {kMsgNoPath}},
      {"no start node", "A x B ANO\nB y A NE\n", {kMsgNoPath}},
      {"cycle below the start", "S s A NE\nA x B ANO\nB y A NE\n", {kMsgStructure}},
  };
  for (const Case& c : cases) {
    auto state = std::make_unique<AnalysisState>();
    EXPECT_EQ(Texts(RunOn(*state, c.description).messages), c.messages) << c.label;
  }
}

TEST(RunDriver, EmptyInputReportHoldsOnlyTheHeader) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, "\n\n\r\n");
  EXPECT_EQ(result.report,
            "Kontrolni vypis zadani BDD s ocislovanymi radky\r\n"
            "vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :\r\n");
  EXPECT_EQ(state->FormalError, kErrEmptyInput);
}

TEST(RunDriver, EchoNumbersNonEmptyLinesAsRead) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, "\n  A\tx NE ANO  \r\n\n;;\n");
  std::vector<std::string> lines = ReportLines(result.report);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[2], " 1:   A\tx NE ANO  ");
  EXPECT_EQ(lines[3], " 2: ;;");
  EXPECT_EQ(lines[4], "popis uzlu ma mene nez 4 jmena");
  EXPECT_EQ(state->LineCount, 2);
}

TEST(RunDriver, NamesCaptionReportAndKeepsThePreviousReport) {
  TempDir dir;
  std::string input = dir.Write("net", "A x NE ANO\n");
  auto state = std::make_unique<AnalysisState>();
  RecordingPlatform first(input);
  RunAnalysis(*state, first, "ramivo");
  EXPECT_EQ(first.captions, std::vector<std::string>{"ramivo - " + input});
  EXPECT_EQ(state->InputName, input);
  EXPECT_EQ(state->ReportName, input + ".Out");
  std::string first_report = ReadFile(input + ".Out");

  // The rerun replaces the report and keeps the previous one as InputName.BAK.
  testing::WriteFile(input, "B y NE ANO\n");
  RecordingPlatform second(input);
  RunAnalysis(*state, second, "ramivo");
  EXPECT_EQ(ReadFile(input + ".BAK"), first_report);
  EXPECT_NE(ReadFile(input + ".Out"), first_report);

  // A report as input gets a report of its own.
  RecordingPlatform third(input + ".Out");
  RunAnalysis(*state, third, "ramivo");
  EXPECT_EQ(state->ReportName, input + ".Out.Out");
}

TEST(RunDriver, CancelledDialogAndMissingInputKeepTheEarlierPaths) {
  TempDir dir;
  std::string input = dir.Write("net.txt", "A x NE ANO\n");
  auto state = std::make_unique<AnalysisState>();
  RecordingPlatform run(input);
  RunAnalysis(*state, run);

  for (std::optional<std::string> choice :
       {std::optional<std::string>{}, std::optional<std::string>{""}}) {
    RecordingPlatform cancelled(choice);
    RunAnalysis(*state, cancelled);
    EXPECT_TRUE(cancelled.captions.empty());
    EXPECT_TRUE(cancelled.messages.empty());
    EXPECT_EQ(state->InputName, input);
    EXPECT_EQ(state->ReportName, input + ".Out");
  }

  std::string missing = dir.path() + "/none.txt";
  RecordingPlatform failing(missing);
  EXPECT_THROW(RunAnalysis(*state, failing), IoError);
  EXPECT_EQ(state->InputName, missing);
  EXPECT_EQ(state->ReportName, input + ".Out");
  EXPECT_TRUE(failing.captions.empty());
  EXPECT_TRUE(failing.messages.empty());
}

TEST(RunDriver, RunsAreIndependent) {
  // A long run leaves names, rows and products above the counters; the next run must not see
  // them.
  auto state = std::make_unique<AnalysisState>();
  auto big = RunOn(*state, "P a Q R\nQ b NE ANO\nR c ANO NE\nENDBDD NE P\n");
  auto small = RunOn(*state, "R z NE ANO\n");
  auto fresh_state = std::make_unique<AnalysisState>();
  EXPECT_EQ(small.report, RunOn(*fresh_state, "R z NE ANO\n").report);
}

}  // namespace
}  // namespace ramivo
