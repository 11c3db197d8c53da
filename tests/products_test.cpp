#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "products/product_listing.h"
#include "products/product_reduction.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReportLines;

// A state whose conditions and store are filled directly, with an in-memory report.
class StoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = std::make_unique<AnalysisState>();
    testing::StartRunInMemory(*state_, report_);
  }

  void SetConditions(const std::vector<std::string>& names) {
    state_->ConditionNameLast = static_cast<int>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      state_->ConditionDisplayNames[i + 1] = PadName(names[i]);
    }
    state_->HalfWords = (state_->ConditionNameLast - 1) / 32 + 1;
    state_->RecordWords = 2 * state_->HalfWords;
  }

  void SetStore(const std::vector<std::uint32_t>& words) {
    std::copy(words.begin(), words.end(), state_->Products.begin());
    state_->ProductWords = static_cast<int>(words.size());
  }

  std::vector<std::uint32_t> Store() const {
    return std::vector<std::uint32_t>(state_->Products.begin(),
                                      state_->Products.begin() + state_->ProductWords);
  }

  std::vector<std::string> Written() {
    state_->Report.Close();
    return ReportLines(report_);
  }

  std::string report_;  // outlives the state, whose report writes into it
  std::unique_ptr<AnalysisState> state_;
};

TEST_F(StoreFixture, ReductionOfSixProducts) {
  SetConditions({"Armed", "Door", "Motion", "Night"});
  SetStore({0x3, 0x4, 0x1, 0x0, 0x2, 0x8, 0x1, 0x4, 0x2, 0x8, 0xC, 0x0});
  state_->Report.WriteLine("Kontrolni vypis - nalezene souciny:");
  WriteProducts(*state_);
  ReduceProducts(*state_);
  state_->Report.WriteLine("Vysledek - neredundantni souciny, uvedene vzestupne:");
  WriteProducts(*state_);
  EXPECT_EQ(Store(), (std::vector<std::uint32_t>{0x1, 0x0, 0x2, 0x8, 0xC, 0x0}));
  EXPECT_EQ(Written(), (std::vector<std::string>{
                           "Kontrolni vypis - nalezene souciny:",
                           " #1:   Armed  Door -Motion",
                           " #2:   Armed",
                           " #3:   Door -Night",
                           " #4:   Armed -Motion",
                           " #5:   Door -Night",
                           " #6:   Motion  Night",
                           "Vysledek - neredundantni souciny, uvedene vzestupne:",
                           " #1:   Armed",
                           " #2:   Door -Night",
                           " #3:   Motion  Night",
                       }));
}

TEST_F(StoreFixture, ReductionOrderAndAbsorption) {
  struct Case {
    const char* label;
    std::vector<std::uint32_t> store;
    std::vector<std::uint32_t> reduced;
  };
  const Case cases[] = {
      {"empty store", {}, {}},
      {"single product", {0x3, 0x4}, {0x3, 0x4}},
      {"equal counts keep their store order",
       {0x1, 0x2, 0x4, 0x0, 0x8, 0x10},
       {0x4, 0x0, 0x1, 0x2, 0x8, 0x10}},
      {"the first of two equal products stays",
       {0x1, 0x2, 0x4, 0x0, 0x1, 0x2},
       {0x4, 0x0, 0x1, 0x2}},
      {"a product absorbed by a later, shorter one", {0x3, 0x0, 0x2, 0x0}, {0x2, 0x0}},
      {"opposite signs do not absorb", {0x1, 0x0, 0x0, 0x3}, {0x1, 0x0, 0x0, 0x3}},
  };
  SetConditions({"a", "b", "c", "d", "e"});
  for (const Case& c : cases) {
    SetStore(c.store);
    ReduceProducts(*state_);
    EXPECT_EQ(Store(), c.reduced) << c.label;
  }
}

TEST_F(StoreFixture, ReductionOverFourWordRecords) {
  std::vector<std::string> names;
  for (int i = 1; i <= 40; ++i) names.push_back("c" + std::to_string(i));
  SetConditions(names);
  ASSERT_EQ(state_->RecordWords, 4);
  // (c1, not c33), (c33), (c2, c33), (c1, c33): c33 absorbs the two that hold it, not the
  // one that holds it negated.
  SetStore({0x1, 0x0, 0x0, 0x1, /**/ 0x0, 0x1, 0x0, 0x0, /**/ 0x2, 0x1, 0x0, 0x0, /**/ 0x1, 0x1,
            0x0, 0x0});
  ReduceProducts(*state_);
  EXPECT_EQ(Store(), (std::vector<std::uint32_t>{0x0, 0x1, 0x0, 0x0, 0x1, 0x0, 0x0, 0x1}));
}

TEST_F(StoreFixture, ListingWrapsAfterSixtyCharacters) {
  SetConditions(
      {"DoorOpen", "WindowUp", "MotionIn", "Daylight", "Override", "TamperSw", "PowerOff"});
  SetStore({0x0, 0x3F, 0x20, 0x5F, 0x4, 0x3, 0x1, 0x0});
  WriteProducts(*state_);
  std::vector<std::string> lines = Written();
  EXPECT_EQ(lines, (std::vector<std::string>{
                       " #1:  -DoorOpen -WindowUp -MotionIn -Daylight -Override -TamperSw",
                       "      ",
                       " #2:   TamperSw -DoorOpen -WindowUp -MotionIn -Daylight -Override",
                       "       -PowerOff",
                       " #3:   MotionIn -DoorOpen -WindowUp",
                       " #4:   DoorOpen",
                   }));
  std::vector<std::size_t> lengths;
  for (const std::string& line : lines) lengths.push_back(line.size());
  EXPECT_EQ(lengths, (std::vector<std::size_t>{65, 6, 65, 16, 35, 15}));
}

TEST_F(StoreFixture, ListingEdges) {
  struct Case {
    const char* label;
    std::vector<std::string> conditions;
    std::vector<std::uint32_t> store;  // products after `skip` empty-named filler products
    int filler;                        // products before the one shown
    std::vector<std::string> lines;    // lines of the last product
  };
  // " #1: ", five names of eight characters and one of three: exactly 60 characters.
  const std::vector<std::string> sixty = {"Abcdefgh", "Bcdefghi", "Cdefghij", "Defghijk",
                                          "Efghijkl", "Xyz",      "G"};
  const Case cases[] = {
      {"exactly sixty characters do not wrap",
       sixty,
       {0x3F, 0x0},
       0,
       {" #1:   Abcdefgh  Bcdefghi  Cdefghij  Defghijk  Efghijkl  Xyz"}},
      {"a literal after sixty characters stays on the line",
       sixty,
       {0x3F, 0x40},
       0,
       {" #1:   Abcdefgh  Bcdefghi  Cdefghij  Defghijk  Efghijkl  Xyz -G", "      "}},
      {"from product 10 the number part is longer",
       sixty,
       {0x3F, 0x0},
       9,
       {" #10:   Abcdefgh  Bcdefghi  Cdefghij  Defghijk  Efghijkl  Xyz", "      "}},
      {"continuation lines",
       {"Aaaaaaaa", "Bbbbbbbb", "Cccccccc", "Dddddddd", "Eeeeeeee", "Ffffffff", "Gggggggg",
        "Hhhhhhhh", "Iiiiiiii", "Jjjjjjjj", "Kkkkkkkk", "Llllllll", "Mmmmmmmm", "Nnnnnnnn"},
       {0x3FFF, 0x0},
       0,
       {" #1:   Aaaaaaaa  Bbbbbbbb  Cccccccc  Dddddddd  Eeeeeeee  Ffffffff",
        "        Gggggggg  Hhhhhhhh  Iiiiiiii  Jjjjjjjj  Kkkkkkkk  Llllllll",
        "        Mmmmmmmm  Nnnnnnnn"}},
  };
  for (const Case& c : cases) {
    report_.clear();
    testing::StartRunInMemory(*state_, report_);
    SetConditions(c.conditions);
    std::vector<std::uint32_t> store;
    for (int i = 0; i < c.filler; ++i) store.insert(store.end(), {0x40, 0x0});
    store.insert(store.end(), c.store.begin(), c.store.end());
    SetStore(store);
    WriteProducts(*state_);
    std::vector<std::string> lines = Written();
    lines.erase(lines.begin(), lines.begin() + c.filler);
    EXPECT_EQ(lines, c.lines) << c.label;
  }
}

TEST_F(StoreFixture, ListingOrderWithMoreThan32Conditions) {
  std::vector<std::string> names;
  for (int i = 1; i <= 40; ++i) names.push_back("c" + std::to_string(i));
  SetConditions(names);
  // c33 true and c1 false; then c1 true, c2 false, c33 false, c40 true.
  SetStore({0x0, 0x1, 0x1, 0x0, /**/ 0x1, 0x80, 0x2, 0x1});
  WriteProducts(*state_);
  EXPECT_EQ(Written(), (std::vector<std::string>{" #1:  -c1  c33", " #2:   c1 -c2  c40 -c33"}));
}

}  // namespace
}  // namespace ramivo
