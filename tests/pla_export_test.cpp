#include "products/pla_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "core/run_driver.h"
#include "support/random_diagram.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReadFile;
using testing::RecordingPlatform;
using testing::TempDir;

const std::string kData = std::string(RAMIVO_TEST_DATA) + "/";

// Runs ramivo-cli --pla on a copy of `source` (below the test data); the path of the copy.
std::string RunPla(const TempDir& dir, const std::string& source) {
  std::string input = dir.path() + "/" + std::filesystem::path(source).filename().string();
  std::filesystem::copy_file(kData + source, input);
  std::ostringstream out, err;
  RunBatch({"--pla", input}, out, err);
  return input;
}

TEST(PlaExport, ReducedProductsMatchExpectedFiles) {
  struct Case {
    const char* input;
    const char* expected;
  };
  const Case cases[] = {
      {"reports/start_mid_hi.txt", "exports/start_mid_hi.pla"},
      // Seven conditions, products of one to seven literals in ascending order.
      {"reports/long_products.txt", "exports/long_products.pla"},
      // No-type ends sought: the output is named NE.
      {"reports/root_no.txt", "exports/root_no.pla"},
      // 35 conditions: cubes span both words of each half.
      {"exports/wide.txt", "exports/wide.pla"},
      // Its only path to the sought end is contradictory: an empty sum, still a success.
      {"exports/contradictory.txt", "exports/contradictory.pla"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::string input = RunPla(dir, c.input);
    EXPECT_EQ(ReadFile(input + ".pla"), ReadFile(kData + c.expected)) << c.input;
  }
}

TEST(PlaExport, WrittenOnlyAfterTheSuccessBox) {
  const char* inputs[] = {"reports/cycle.txt", "reports/no_start.txt", "reports/eight_findings.txt",
                          "reports/empty.txt"};
  for (const char* source : inputs) {
    TempDir dir;
    std::string input = RunPla(dir, source);
    EXPECT_FALSE(std::filesystem::exists(input + ".pla")) << source;
  }
  // A full product store ends the run without the success box: 2^16 paths, 32000 fit.
  TempDir dir;
  std::string ladder;
  for (int rung = 1; rung <= 16; ++rung) {
    std::string next = rung < 16 ? "L" + std::to_string(rung + 1) : "ANO";
    ladder +=
        "L" + std::to_string(rung) + " C" + std::to_string(rung) + " " + next + " " + next + "\n";
  }
  std::string input = dir.Write("ladder.txt", ladder);
  std::ostringstream out, err;
  EXPECT_EQ(RunBatch({"--pla", input}, out, err), 1);
  EXPECT_EQ(out.str(), "Warning: Příliš mnoho součinů. Výpočet končí.\n");
  EXPECT_FALSE(std::filesystem::exists(input + ".pla"));
}

// A product as the store holds it: positive half, then negative half.
using Record = std::vector<std::uint32_t>;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Reads the PLA back into records of the store's layout, checking the header on the way.
std::multiset<Record> ParsePla(const std::string& pla, const AnalysisState& state) {
  std::vector<std::string> lines = Lines(pla);
  const int inputs = state.ConditionNameLast;
  std::string names;
  for (int c = 1; c <= inputs; ++c)
    names += " " + std::string(TrimmedName(state.ConditionDisplayNames[c]));
  const int products = state.ProductWords / state.RecordWords;
  std::vector<std::string> header = {".i " + std::to_string(inputs), ".o 1", ".ilb" + names,
                                     state.SearchYes ? ".ob ANO" : ".ob NE",
                                     ".p " + std::to_string(products)};
  std::multiset<Record> records;
  EXPECT_EQ(lines.size(), header.size() + products + 1);
  if (lines.size() != header.size() + products + 1) return records;
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + header.size()), header);
  EXPECT_EQ(lines.back(), ".e");
  for (int p = 0; p < products; ++p) {
    const std::string& cube = lines[header.size() + p];
    EXPECT_EQ(cube.size(), static_cast<std::size_t>(inputs) + 2) << cube;
    EXPECT_EQ(cube.substr(inputs), " 1") << cube;
    Record record(state.RecordWords, 0);
    for (int c = 1; c <= inputs && c <= static_cast<int>(cube.size()); ++c) {
      std::uint32_t bit = std::uint32_t{1} << ((c - 1) % 32);
      int word = (c - 1) / 32;
      if (cube[c - 1] == '1') record[word] |= bit;
      if (cube[c - 1] == '0') record[state.HalfWords + word] |= bit;
      EXPECT_TRUE(cube[c - 1] == '1' || cube[c - 1] == '0' || cube[c - 1] == '-') << cube;
    }
    records.insert(record);
  }
  return records;
}

TEST(PlaExport, CubesDescribeTheStoredProducts) {
  std::mt19937 random(4242);
  auto state = std::make_unique<AnalysisState>();
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    // Every third diagram puts its conditions above code 32, into the second word of a half.
    testing::RandomDiagramShape shape;
    shape.leading_conditions = round % 3 == 0 ? 30 : 0;
    testing::RandomDiagram diagram = testing::MakeRandomDiagram(random, shape);
    SCOPED_TRACE(diagram.text);
    TempDir dir;
    RecordingPlatform platform(dir.Write("net.txt", diagram.text));
    RunAnalysis(*state, platform);
    if (platform.messages.empty() || platform.messages[0].first != kMsgSuccess) continue;
    ++compared;
    std::multiset<Record> stored;
    for (int offset = 0; offset < state->ProductWords; offset += state->RecordWords) {
      stored.insert(Record(state->Products.begin() + offset,
                           state->Products.begin() + offset + state->RecordWords));
    }
    EXPECT_EQ(ParsePla(ProductsPla(*state), *state), stored);
  }
  EXPECT_GT(compared, 100);
}

}  // namespace
}  // namespace ramivo
