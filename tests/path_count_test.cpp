#include "search/path_count.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>

#include "core/run_driver.h"
#include "support/random_diagram.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReadFile;
using testing::RecordingPlatform;
using testing::TempDir;

PathCount PowerOfTwo(int exponent) {
  PathCount value(1);
  for (int i = 0; i < exponent; ++i) value += PathCount(value);
  return value;
}

TEST(PathCount, AddsAndPrintsBeyondSixtyFourBits) {
  struct Case {
    const char* label;
    PathCount value;
    const char* decimal;
  };
  PathCount limb_carry(999'999'999);
  limb_carry += PathCount(1);
  PathCount short_plus_long(1);
  short_plus_long += PowerOfTwo(100);
  PathCount long_plus_short = PowerOfTwo(100);
  long_plus_short += PathCount(1);
  PathCount all_lower_powers;  // 2^0 + ... + 2^99: carries ripple through every limb
  for (int i = 0; i < 100; ++i) all_lower_powers += PowerOfTwo(i);
  const Case cases[] = {
      {"zero", PathCount(), "0"},
      {"zero from a value", PathCount(0), "0"},
      {"largest 32-bit value spans two limbs", PathCount(4'294'967'295u), "4294967295"},
      {"carry into a new limb", limb_carry, "1000000000"},
      {"inner limbs keep their leading zeros", PowerOfTwo(64), "18446744073709551616"},
      {"2^100", PowerOfTwo(100), "1267650600228229401496703205376"},
      {"2^128", PowerOfTwo(128), "340282366920938463463374607431768211456"},
      {"short plus long", short_plus_long, "1267650600228229401496703205377"},
      {"long plus short", long_plus_short, "1267650600228229401496703205377"},
      {"2^100 - 1 as a sum", all_lower_powers, "1267650600228229401496703205375"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.value.ToDecimal(), c.decimal) << c.label;
  EXPECT_EQ(PathCount(), PathCount(0));
  EXPECT_EQ(short_plus_long, long_plus_short);
}

// Records what CountPaths gives at the moment the search is about to walk the paths.
class CountingPlatform : public RecordingPlatform {
 public:
  using RecordingPlatform::RecordingPlatform;
  void BeforeEnumeration(const AnalysisState& state) override {
    ++calls;
    error_at_call = state.FormalError;
    counts = CountPaths(state);
  }
  int calls = 0;
  int error_at_call = -1;
  std::optional<PathCounts> counts;
};

struct CountedRun {
  std::string report;
  int hook_calls;
  int error_at_call;
  std::optional<PathCounts> counts;  // at the hook, or after a run that never reached it
};

CountedRun RunCounting(AnalysisState& state, const std::string& description) {
  TempDir dir;
  std::string input = dir.Write("net.txt", description);
  CountingPlatform platform(input);
  RunAnalysis(state, platform);
  CountedRun run{ReadFile(input + ".Out"), platform.calls, platform.error_at_call, platform.counts};
  if (platform.calls == 0 && state.MayCompute) run.counts = CountPaths(state);
  return run;
}

int TracedPaths(const std::string& report) {
  int traced = 0;
  for (const std::string& line : testing::ReportLines(report)) {
    if (line.rfind(" ****trasa ", 0) == 0) ++traced;
  }
  return traced;
}

// A ladder of 100 nodes, each testing a condition of its own with both branches leading to
// the next rung: 2^100 paths, the last rung deciding their ends.
std::string Ladder(const char* last_rung_outputs) {
  std::string text;
  for (int rung = 1; rung < 100; ++rung) {
    std::string next = "L" + std::to_string(rung + 1);
    text +=
        "L" + std::to_string(rung) + " C" + std::to_string(rung) + " " + next + " " + next + "\n";
  }
  text += std::string("L100 C100 ") + last_rung_outputs + "\nENDBDD ANO L1\n";
  return text;
}

TEST(PathCount, LadderOfTwoToTheHundredPaths) {
  struct Case {
    const char* last_rung_outputs;
    const char* sought;
    const char* other;
    const char* dead;
  };
  const char* const k2to100 = "1267650600228229401496703205376";
  const char* const k2to99 = "633825300114114700748351602688";
  const Case cases[] = {
      {"YES T", k2to100, "0", "0"},
      {"NE ANO", k2to99, k2to99, "0"},
      {"ENDBDD TRUE", k2to99, "0", k2to99},
  };
  auto state = std::make_unique<AnalysisState>();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last_rung_outputs);
    CountedRun run = RunCounting(*state, Ladder(c.last_rung_outputs));
    // The store fills long before the walk could end: the count came first.
    ASSERT_EQ(run.hook_calls, 1);
    EXPECT_EQ(run.error_at_call, 0);
    EXPECT_EQ(state->FormalError, kErrStoreFull);
    ASSERT_TRUE(run.counts);
    EXPECT_EQ(run.counts->sought.ToDecimal(), c.sought);
    EXPECT_EQ(run.counts->other.ToDecimal(), c.other);
    EXPECT_EQ(run.counts->dead.ToDecimal(), c.dead);
  }
}

// The sought count is the number of paths the report traces, contradictory ones included;
// the other two come from a plain recursive walk of the same diagram.
TEST(PathCount, AgreesWithTracedPathsOnRandomDiagrams) {
  std::mt19937 random(7070);
  auto state = std::make_unique<AnalysisState>();
  int enumerated = 0;
  for (int round = 0; round < 300; ++round) {
    testing::RandomDiagram diagram = testing::MakeRandomDiagram(random, {});
    SCOPED_TRACE(diagram.text);
    CountedRun run = RunCounting(*state, diagram.text);
    testing::ReferencePathCounts expected = testing::CountPathsByWalking(diagram);
    ASSERT_TRUE(run.counts);
    EXPECT_EQ(run.counts->sought.ToDecimal(), std::to_string(expected.sought));
    EXPECT_EQ(run.counts->other.ToDecimal(), std::to_string(expected.other));
    EXPECT_EQ(run.counts->dead.ToDecimal(), std::to_string(expected.dead));
    EXPECT_EQ(std::to_string(TracedPaths(run.report)), run.counts->sought.ToDecimal());
    enumerated += run.hook_calls;
  }
  // Both kinds of run occur: with a walk (count at the hook) and without (nothing sought).
  EXPECT_GT(enumerated, 100);
  EXPECT_LT(enumerated, 300);
}

TEST(PathCount, NothingWithoutStartNodeOrWithAReachableCycle) {
  struct Case {
    const char* label;
    const char* description;
    bool counted;
  };
  const Case cases[] = {
      {"every node is an output: no start node", "A x B ANO\nB y A NE\n", false},
      {"cycle reachable from the start node", "A x B ANO\nB y A NE\nENDBDD ANO A\n", false},
      {"cycle below the start node", "S s A NE\nA x B ANO\nB y A NE\n", false},
      {"cycle that cannot be reached", "S s NE ANO\nA x B ANO\nB y A NE\nENDBDD ANO S\n", true},
  };
  auto state = std::make_unique<AnalysisState>();
  for (const Case& c : cases) {
    CountedRun run = RunCounting(*state, c.description);
    EXPECT_EQ(run.counts.has_value(), c.counted) << c.label;
    EXPECT_EQ(run.hook_calls, c.counted ? 1 : 0) << c.label;
  }
}

}  // namespace
}  // namespace ramivo
