#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/run_driver.h"
#include "reader/line_parser.h"
#include "search/search_paths.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReportLines;
using testing::RunOn;

// The report from the search section on, up to the first product heading.
std::vector<std::string> SearchSection(const std::string& report) {
  std::vector<std::string> lines = ReportLines(report);
  auto begin = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.rfind(" Prohledavani BDD zacne uzlem: ", 0) == 0;
  });
  auto end = std::find(begin, lines.end(), "Kontrolni vypis - nalezene souciny:");
  return std::vector<std::string>(begin, end);
}

constexpr const char* kRootLeftRightBoth =
    "Root  p  Left  Right\n"
    "Left  q  NE  Both\n"
    "Right  q  Both  ANO\n"
    "Both  p  ANO  NE\n";

TEST(Search, ReachabilityAndSoughtEnd) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, std::string(kRootLeftRightBoth) + "ENDBDD NO Root\n");
  std::vector<std::string> section = SearchSection(result.report);
  section.resize(7);
  EXPECT_EQ(section, (std::vector<std::string>{
                         " Prohledavani BDD zacne uzlem: Root    ",
                         " hledaji se konce typu NE",
                         "Pouzite uzly: kod, jmeno ",
                         "10 =  Root    ",
                         "11 =  Left    ",
                         "12 =  Right   ",
                         "13 =  Both    ",
                     }));
  EXPECT_EQ(state->VisitCount[10], 1);
  EXPECT_EQ(state->VisitCount[11], 1);
  EXPECT_EQ(state->VisitCount[12], 1);
  EXPECT_EQ(state->VisitCount[13], 2);
  EXPECT_EQ(state->ConditionUseCount[1], 2);
  EXPECT_EQ(state->ConditionUseCount[2], 2);
}

TEST(Search, WalkTracesEveryPathToTheSoughtEnd) {
  struct Case {
    const char* end_line;
    std::vector<std::string> trace;
    std::vector<std::uint32_t> words;
  };
  const Case cases[] = {
      // Path 2 of the yes search holds p both true and false: traced, dropped, and its number
      // is traced again by the next path.
      {"ENDBDD ANO Root\n",
       {" ****trasa 1", " -10 11 -13", " ****trasa 2", " 10 -12 -13", " ****trasa 2", " 10 12"},
       {2, 1, 3, 0}},
      {"ENDBDD NO Root\n",
       {" ****trasa 1", " -10 -11", " ****trasa 2", " -10 11 13", " ****trasa 2", " 10 -12 13"},
       {0, 3, 1, 2}},
  };
  for (const Case& c : cases) {
    auto state = std::make_unique<AnalysisState>();
    auto result = RunOn(*state, std::string(kRootLeftRightBoth) + c.end_line);
    std::vector<std::string> section = SearchSection(result.report);
    EXPECT_EQ(std::vector<std::string>(section.begin() + 7, section.end()), c.trace) << c.end_line;
    ASSERT_EQ(state->RecordWords, 2);
    EXPECT_EQ(state->FormalError, 0);
    // Both products have two literals, so the reduction keeps them in the order found.
    EXPECT_EQ(std::vector<std::uint32_t>(state->Products.begin(),
                                         state->Products.begin() + state->ProductWords),
              c.words)
        << c.end_line;
  }
}

TEST(Search, ProductRecordsOfTheWalk) {
  std::string report;  // outlives the state, whose report writes into it
  auto state = std::make_unique<AnalysisState>();
  testing::StartRunInMemory(*state, report);
  for (const char* line : {"Root  p  Left  Right", "Left  q  NE  Both", "Right  q  Both  ANO",
                           "Both  p  ANO  NE", "ENDBDD ANO Root"}) {
    state->Line = line;
    ParseLine(*state);
  }
  SearchPaths(*state);
  EXPECT_EQ(state->FormalError, 0);
  EXPECT_EQ(state->ProductWords, 4);
  EXPECT_EQ(std::vector<std::uint32_t>(state->Products.begin(), state->Products.begin() + 4),
            (std::vector<std::uint32_t>{2, 1, 3, 0}));
  EXPECT_EQ(state->PathLength, 0);
}

TEST(Search, SectionsOfSmallDiagrams) {
  struct Case {
    const char* label;
    const char* description;
    std::vector<std::string> section;
    int formal, structure;
  };
  const Case cases[] = {
      {"listing follows the codes, not the walk",
       "Mid b NE ANO\nTop a Mid T\n",
       {" Prohledavani BDD zacne uzlem: Top     ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  Mid     ", "11 =  Top     ", " ****trasa 1", " -11 10",
        " ****trasa 2", " 11"},
       0,
       0},
      {"no start node",
       "A x B ANO\nB y A NE\n",
       {" Prohledavani BDD zacne uzlem: ", "chyba: nenalezen vrcholovy uzel",
        " hledaji se konce typu ANO", "Pouzite uzly: kod, jmeno "},
       202,
       0},
      {"cycle through the start node",
       "A x B ANO\nB y A NE\nENDBDD ANO A\n",
       {" Prohledavani BDD zacne uzlem: A       ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  A       ", "11 =  B       ", "uzel lezi na cyklu: A"},
       0,
       4},
      {"cycle on a yes-branch below",
       "Top t NE Alpha\nAlpha x NE Beta\nBeta y Gamma ANO\nGamma z ANO Alpha\n",
       {" Prohledavani BDD zacne uzlem: Top     ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  Top     ", "11 =  Alpha   ", "12 =  Beta    ",
        "13 =  Gamma   ", "uzel lezi na cyklu: Alpha"},
       0,
       4},
      {"start node with both outputs sought",
       "A x ANO T\n",
       {" Prohledavani BDD zacne uzlem: A       ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  A       ", " ****trasa 1", " -10", " ****trasa 2",
        " 10"},
       0,
       0},
      {"inner start node: the nodes above are not listed",
       "Top a Mid NE\nMid b NE TRUE\nENDBDD YES Mid\n",
       {" Prohledavani BDD zacne uzlem: Mid     ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "11 =  Mid     ", " ****trasa 1", " 11"},
       0,
       0},
      {"only the other kind of end is reachable",
       "A x NE F\nB y ANO NE\nENDBDD ANO A\n",
       {" Prohledavani BDD zacne uzlem: A       ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  A       "},
       202,
       0},
      {"dead ends and the other kind leave no trace",
       "A x B NIC\nB y ENDBDD C\nC z NO ANO\nENDBDD T A\n",
       {" Prohledavani BDD zacne uzlem: A       ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  A       ", "11 =  B       ", "12 =  C       ",
        " ****trasa 1", " -10 11 12"},
       0,
       0},
      {"a condition tested twice gives one literal",
       "A x B NE\nB x NE ANO\nENDBDD ANO A\n",
       {" Prohledavani BDD zacne uzlem: A       ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno ", "10 =  A       ", "11 =  B       ", " ****trasa 1", " -10 11"},
       0,
       0},
  };
  for (const Case& c : cases) {
    auto state = std::make_unique<AnalysisState>();
    auto result = RunOn(*state, c.description);
    EXPECT_EQ(SearchSection(result.report), c.section) << c.label;
    EXPECT_EQ(state->FormalError, c.formal) << c.label;
    EXPECT_EQ(state->StructureError, c.structure) << c.label;
  }
}

TEST(Search, ContradictoryPathsOnlyLeaveAnEmptyStore) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, "A p B NE\nB p NE ANO\n");
  std::vector<std::string> lines = ReportLines(result.report);
  std::vector<std::string> tail(lines.end() - 4, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      " ****trasa 1", " -10 11", "Kontrolni vypis - nalezene souciny:",
                      "Vysledek - neredundantni souciny, uvedene vzestupne:"}));
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].first, kMsgSuccess);
}

// A chain of `levels` nodes, each testing its own condition with both branches into the next
// node; the last one ends in ANO on both branches: 2^levels distinct products.
std::string FullChain(int levels) {
  std::string text;
  for (int i = 0; i < levels; ++i) {
    std::string next = i + 1 < levels ? "L" + std::to_string(i + 1) : "ANO";
    text += "L" + std::to_string(i) + " c" + std::to_string(i) + " " + next + " " + next + "\n";
  }
  return text;
}

TEST(Search, StoreFullAtExactly64000Words) {
  // 2^15 = 32768 paths of two-word records: 32000 fit exactly, the 32001st is traced and
  // stops the search.
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, FullChain(15));
  EXPECT_EQ(state->FormalError, kErrStoreFull);
  EXPECT_EQ(state->ProductWords, 64000);
  std::vector<std::string> lines = ReportLines(result.report);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], " ****trasa 32001");
  EXPECT_EQ(lines[lines.size() - 4], " ****trasa 32000");
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].first, kMsgTooManyProducts);
}

TEST(Search, ThirtyThreeConditionsTakeFourWordRecords) {
  auto state = std::make_unique<AnalysisState>();
  // Conditions c1..c33 in code order; one path: c1 false, c33 true.
  std::string text = "N1 c1 N33 NE\n";
  for (int i = 2; i <= 32; ++i)
    text += "X" + std::to_string(i) + " c" + std::to_string(i) + " NE NE\n";
  text += "N33 c33 NE ANO\nENDBDD ANO N1\n";
  auto result = RunOn(*state, text);
  EXPECT_EQ(state->HalfWords, 2);
  EXPECT_EQ(state->RecordWords, 4);
  ASSERT_EQ(state->ProductWords, 4);
  EXPECT_EQ(std::vector<std::uint32_t>(state->Products.begin(), state->Products.begin() + 4),
            (std::vector<std::uint32_t>{0, 1, 1, 0}));
  std::vector<std::string> lines = ReportLines(result.report);
  EXPECT_EQ(lines.back(), " #1:  -c1  c33");
}

TEST(Search, LongestChainFitsThePathStack) {
  // 4001 nodes chained by their no-branches: a path through every user node.
  std::string text;
  for (int i = 0; i < 4001; ++i) {
    std::string next = i + 1 < 4001 ? "N" + std::to_string(i + 1) : "ANO";
    text += "N" + std::to_string(i) + " c " + next + " NE\n";
  }
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, text);
  EXPECT_EQ(state->FormalError, 0);
  EXPECT_EQ(state->ProductWords, 2);
  std::vector<std::string> lines = ReportLines(result.report);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[lines.size() - 1], " #1:  -c");
}

}  // namespace
}  // namespace ramivo
