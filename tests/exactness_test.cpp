// Exactness of the fast algorithms: the pruned path walk, the crit-bit reduction,
// the reformatting RecordPath and the listing give byte for byte the report that the plain
// algorithms of the walk, the reduction and the listing give (kept in tests/reference/), on
// deterministic random diagrams, on the benchmark's families at reduced size and on product stores
// filled directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "bench/family_generator.h"
#include "core/run_driver.h"
#include "products/product_listing.h"
#include "products/product_reduction.h"
#include "reader/line_parser.h"
#include "reference/plain_listing.h"
#include "reference/plain_reduction.h"
#include "reference/plain_run.h"
#include "reference/plain_search.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using bench::Random;
using testing::RecordingPlatform;
using testing::TempDir;

// The report of RunAnalysis on `description`, kept in memory.
std::string OptimisedReport(AnalysisState& state, const TempDir& dir,
                            const std::string& description) {
  std::string input = dir.Write("net.txt", description);
  std::string report;
  RecordingPlatform platform(input);
  platform.make_sink = [&report](const std::string&) { return CreateStringSink(report); };
  RunAnalysis(state, platform);
  return report;
}

// The same run with the plain walk, listing and reduction.
std::string ReferenceReport(AnalysisState& state, const TempDir& dir,
                            const std::string& description) {
  return reference::PlainRunReport(state, dir.Write("net.txt", description));
}

// Compares the two reports of `description`; on a difference, names the first line. True when
// the run got as far as the product listings.
bool ExpectSameReport(const std::string& description, const std::string& what) {
  TempDir dir;
  auto state = std::make_unique<AnalysisState>();
  const std::string optimised = OptimisedReport(*state, dir, description);
  const std::string plain = ReferenceReport(*state, dir, description);
  const bool listed = optimised.find("Kontrolni vypis - nalezene souciny:") != std::string::npos;
  if (optimised == plain) return listed;
  std::vector<std::string> a = testing::ReportLines(optimised);
  std::vector<std::string> b = testing::ReportLines(plain);
  std::size_t line = 0;
  while (line < a.size() && line < b.size() && a[line] == b[line]) ++line;
  ADD_FAILURE() << what << ": reports differ at line " << line + 1
                << ":\n  fast:  " << (line < a.size() ? a[line] : "<end>")
                << "\n  plain: " << (line < b.size() ? b[line] : "<end>") << "\ndescription:\n"
                << description;
  return listed;
}

// A random small description: up to 14 nodes over up to 7 conditions (a condition may repeat
// on a path, so contradictory paths occur), outputs to later nodes or to any terminal word, a
// few cycles and undefined nodes, with or without an end line.
std::string RandomDescription(std::uint64_t start_value) {
  Random rng(start_value);
  static constexpr const char* kEnds[] = {"ANO",   "YES", "TRUE", "T",   "NE",     "NO",
                                          "FALSE", "F",   "NIC",  "nic", "ENDBDD", "ano"};
  const int nodes = 1 + rng.Below(14);
  const int conditions = 1 + rng.Below(7);
  std::vector<int> order(static_cast<std::size_t>(nodes));
  for (int i = 0; i < nodes; ++i) order[i] = i;
  if (rng.Percent(30)) rng.Shuffle(order);
  auto node_name = [](int i) { return bench::detail::Numbered("N", i); };
  std::string text;
  for (int i : order) {
    std::string outputs[2];
    for (std::string& output : outputs) {
      const int kind = rng.Below(100);
      if (kind < 55 && i + 1 < nodes) {
        output = node_name(i + 1 + rng.Below(nodes - i - 1));
      } else if (kind < 57 && i > 0) {
        output = node_name(rng.Below(i));  // back: may close a cycle
      } else if (kind < 58) {
        output = node_name(nodes + rng.Below(2));  // never defined
      } else {
        output = rng.Pick(kEnds);
      }
    }
    if (outputs[0] == node_name(i)) outputs[0] = "NE";
    if (outputs[1] == node_name(i)) outputs[1] = "ANO";
    text += node_name(i) + " " + bench::detail::Numbered("c", 1 + rng.Below(conditions)) + " " +
            outputs[0] + " " + outputs[1] + "\n";
  }
  switch (rng.Below(5)) {
    case 0:
      break;
    case 1:
      text += "ENDBDD ANO N0\n";
      break;
    case 2:
      text += "ENDBDD NE N0\n";
      break;
    case 3:
      text += std::string("ENDBDD ") + rng.Pick(kEnds) + "\n";
      break;
    default:
      text += "ENDBDD F " + node_name(rng.Below(nodes)) + "\n";
      break;
  }
  return text;
}

TEST(Exactness, RandomDiagramsGiveThePlainReport) {
  int listed = 0;
  for (std::uint64_t start_value = 1; start_value <= 400; ++start_value) {
    if (ExpectSameReport(RandomDescription(start_value),
                         "random diagram, start_value " + std::to_string(start_value))) {
      ++listed;
    }
  }
  EXPECT_GE(listed, 100) << "too few random diagrams reach the product listings";
}

// Larger random ordered diagrams with dead wood and shared nodes (the plain walk follows
// every path, so they stay small enough for it). Records of more than two words are covered
// by the chain and the dead wood below.
TEST(Exactness, RandomOrderedDiagramsGiveThePlainReport) {
  for (std::uint64_t start_value = 1; start_value <= 12; ++start_value) {
    bench::OrderedShape shape;
    shape.levels = 8 + static_cast<int>(start_value % 4);  // 8 to 11 conditions
    shape.max_width = 6;
    shape.terminal_percent = 35;
    shape.min_paths = 50;
    shape.max_paths = 400;
    shape.seek_yes = start_value % 2 == 0;
    ExpectSameReport(bench::OrderedDiagram(start_value, shape),
                     "ordered diagram, start_value " + std::to_string(start_value));
  }
}

TEST(Exactness, FamiliesAtReducedSizeGiveThePlainReport) {
  for (std::uint64_t start_value : {bench::kDefaultStartValue, std::uint64_t{7}}) {
    const std::string tag = ", start_value " + std::to_string(start_value);
    for (char family : {'a', 'b', 'c', 'd', 'e'}) {
      ExpectSameReport(bench::ReducedSizeFamily(family, start_value),
                       bench::FamilyTitle(family) + tag);
    }
  }
}

TEST(Exactness, FullSizeChainAndFullTablesGiveThePlainReport) {
  // (a) is cheap for the plain walk too; (e) stops after reading.
  ExpectSameReport(bench::ChainFamily(), "(a) chain, full size");
  ExpectSameReport(bench::FullTablesFamily(), "(e) full tables, full size");
}

// ReduceProducts against the plain pair loop on the same directly filled store: the same
// words, and the same listing.
void ExpectSameReduction(const bench::DirectStore& store, const std::string& what) {
  auto fast = std::make_unique<AnalysisState>();
  auto plain = std::make_unique<AnalysisState>();
  bench::FillStore(*fast, store);
  bench::FillStore(*plain, store);
  ReduceProducts(*fast);
  reference::PlainReduceProducts(*plain);
  ASSERT_EQ(fast->ProductWords, plain->ProductWords) << what;
  EXPECT_TRUE(std::equal(fast->Products.begin(), fast->Products.begin() + fast->ProductWords,
                         plain->Products.begin()))
      << what;
  std::string fast_listing;
  std::string plain_listing;
  fast->Report.Attach(CreateStringSink(fast_listing));
  plain->Report.Attach(CreateStringSink(plain_listing));
  WriteProducts(*fast);
  reference::PlainWriteProducts(*plain);
  fast->Report.Close();
  plain->Report.Close();
  EXPECT_EQ(fast_listing, plain_listing) << what;
}

TEST(Exactness, ReductionFamilyGivesThePlainResult) {
  ExpectSameReduction(bench::ReductionFamily(bench::kDefaultStartValue, 6000),
                      "(f), 6000 products");
  ExpectSameReduction(bench::ReductionFamily(3, 3000, 45), "(f), 45 conditions");
  ExpectSameReduction(bench::ReductionFamily(4, 1500, 130), "(f), 130 conditions");
}

// A run recognises the store of its own path walk and only sorts it (no product of one walk
// absorbs another). The subset search must give the same on such stores: here it gets them
// as if filled directly.
TEST(Exactness, StoresOfPathWalksGiveThePlainResultWithoutTheShortcut) {
  std::vector<std::string> descriptions = {bench::ChainFamily(5, 300, 6),
                                           bench::DeadWoodFamily(5, 8, 10)};
  for (std::uint64_t start_value = 1; start_value <= 4; ++start_value) {
    bench::OrderedShape shape;
    shape.levels = 16 + static_cast<int>(start_value);
    shape.max_width = 4 + 8 * static_cast<int>(start_value % 2);
    shape.min_paths = 1500;
    shape.max_paths = 3000;
    shape.seek_yes = start_value % 2 == 1;
    descriptions.push_back(bench::OrderedDiagram(start_value, shape));
  }
  for (std::uint64_t start_value = 1; start_value <= 60; ++start_value)
    descriptions.push_back(RandomDescription(start_value));
  int stores = 0;
  for (const std::string& description : descriptions) {
    TempDir dir;
    auto state = std::make_unique<AnalysisState>();
    OptimisedReport(*state, dir, description);
    if (state->WalkedProductWords <= 0 || state->FormalError != 0) continue;
    bench::DirectStore store;
    store.conditions = state->ConditionNameLast;
    store.words.assign(state->WalkedProducts.begin(),
                       state->WalkedProducts.begin() + state->WalkedProductWords);
    ExpectSameReduction(store, "store of the walk of:\n" + description.substr(0, 400));
    ++stores;
  }
  EXPECT_GE(stores, 20);
}

// The shortcut holds only for the walk's own words: a store changed after the walk (a product
// repeated, or one literal dropped so that it absorbs others) is reduced in full.
TEST(Exactness, StoreChangedAfterTheWalkIsReducedInFull) {
  TempDir dir;
  auto state = std::make_unique<AnalysisState>();
  OptimisedReport(*state, dir, bench::ChainFamily(9, 60, 5));
  ASSERT_GT(state->WalkedProductWords, 2 * state->RecordWords);
  const int words = state->RecordWords;
  for (int change = 0; change < 2; ++change) {
    std::vector<std::uint32_t> store(state->WalkedProducts.begin(),
                                     state->WalkedProducts.begin() + state->WalkedProductWords);
    if (change == 0) {
      store.insert(store.end(), store.begin(), store.begin() + words);  // product 1 again
    } else {
      // The last product of the chain (the shortest path) without its one positive literal:
      // the no-branches it took are taken by every other path too, so it absorbs them all.
      auto last = store.end() - words;
      std::fill(last, last + words / 2, 0u);
    }
    auto plain = std::make_unique<AnalysisState>();
    bench::DirectStore direct;
    direct.conditions = state->ConditionNameLast;
    direct.words = store;
    bench::FillStore(*plain, direct);
    reference::PlainReduceProducts(*plain);
    std::copy(store.begin(), store.end(), state->Products.begin());
    state->ProductWords = static_cast<int>(store.size());
    ReduceProducts(*state);
    ASSERT_EQ(state->ProductWords, plain->ProductWords) << "change " << change;
    EXPECT_TRUE(std::equal(state->Products.begin(), state->Products.begin() + state->ProductWords,
                           plain->Products.begin()))
        << "change " << change;
    EXPECT_LT(plain->ProductWords, static_cast<int>(store.size())) << "nothing was absorbed";
  }
}

TEST(Exactness, RandomStoresGiveThePlainResult) {
  for (std::uint64_t start_value = 1; start_value <= 300; ++start_value) {
    Random rng(start_value * 7919);
    const int conditions = 1 + rng.Below(start_value % 5 == 0 ? 100 : 12);
    const int half = (conditions - 1) / 32 + 1;
    const int products = rng.Below(std::min(60, kProductStoreWords / (2 * half)));
    bench::DirectStore store;
    store.conditions = conditions;
    std::vector<std::vector<std::uint32_t>> made;
    for (int p = 0; p < products; ++p) {
      std::vector<std::uint32_t> record(2 * static_cast<std::size_t>(half), 0);
      if (!made.empty() && rng.Percent(30)) {
        record = made[rng.Below(static_cast<int>(made.size()))];  // repeat or extend one
      }
      const int literals = 1 + rng.Below(std::min(conditions, 6));
      for (int k = 0; k < literals; ++k) {
        const int c = rng.Below(conditions);
        const int other = (record[c / 32] | record[half + c / 32]) >> (c % 32) & 1u;
        if (other != 0 && rng.Percent(50)) continue;
        if (other == 0) record[(rng.Percent(50) ? 0 : half) + c / 32] |= 1u << (c % 32);
      }
      made.push_back(record);
      store.words.insert(store.words.end(), record.begin(), record.end());
    }
    ExpectSameReduction(store, "random store, start_value " + std::to_string(start_value));
  }
}

TEST(Exactness, ReductionOfTheSixProductExampleAndEdgeCases) {
  bench::DirectStore example;
  example.conditions = 4;
  example.words = {0x3, 0x4, 0x1, 0x0, 0x2, 0x8, 0x1, 0x4, 0x2, 0x8, 0xC, 0x0};
  ExpectSameReduction(example, "six-product example");
  auto state = std::make_unique<AnalysisState>();
  bench::FillStore(*state, example);
  ReduceProducts(*state);
  EXPECT_EQ(std::vector<std::uint32_t>(state->Products.begin(), state->Products.begin() + 6),
            (std::vector<std::uint32_t>{0x1, 0x0, 0x2, 0x8, 0xC, 0x0}));

  bench::DirectStore empty;
  ExpectSameReduction(empty, "empty store");
  bench::DirectStore single;
  single.words = {0x5, 0x2};
  ExpectSameReduction(single, "single product");
  bench::DirectStore equal;
  equal.words = {0x5, 0x2, 0x5, 0x2, 0x1, 0x0, 0x5, 0x2};
  ExpectSameReduction(equal, "equal products");
  bench::DirectStore wide;  // condition 33 true and condition 1 false, records of four words
  wide.conditions = 40;
  wide.words = {0x0, 0x1, 0x1, 0x0, 0x0, 0x1, 0x0, 0x0, 0x2, 0x1, 0x1, 0x0, 0x0, 0x0, 0x1, 0x0};
  ExpectSameReduction(wide, "four-word records");
}

}  // namespace
}  // namespace ramivo
