#include "reader/line_parser.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/run_driver.h"
#include "reader/name_tables.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReportLines;
using testing::RunOn;

// Report lines from the echo of the first line on (the two header lines dropped).
std::vector<std::string> Body(const std::string& report) {
  std::vector<std::string> lines = ReportLines(report);
  lines.erase(lines.begin(), lines.begin() + std::min<std::size_t>(2, lines.size()));
  return lines;
}

std::string Trimmed(const Name& name) {
  return std::string(TrimmedName(name));
}

TEST(LineParser, SoundDescriptionFillsTables) {
  auto state = std::make_unique<AnalysisState>();
  RunOn(*state, "Start  a  Mid  Hi\nMid  b  NE  ANO\nHi  c  Mid  T\nENDBDD ANO Start\n");
  EXPECT_EQ(state->FormalError, 0);
  EXPECT_EQ(state->StructureError, 0);
  EXPECT_EQ(state->SizeError, 0);
  EXPECT_EQ(state->NodeNameLast, 12);
  EXPECT_EQ(state->ConditionNameLast, 3);
  EXPECT_EQ(state->DefinitionLast, 2);
  EXPECT_EQ(state->EndKind, 1);
  EXPECT_EQ(state->StartNode, 10);
  EXPECT_EQ(state->ConditionDisplayNames[1], PadName("a"));
  EXPECT_EQ(state->NodeDisplayNames[12], PadName("Hi"));
  EXPECT_EQ(state->DefinitionIndex[10], 0);
  EXPECT_EQ(state->DefinitionIndex[12], 2);
  EXPECT_EQ(state->DefinitionIndex[13], -1);
  // The search folds the terminal codes; the condition and node columns stay as read.
  EXPECT_EQ(state->Definitions[0].node, 10);
  EXPECT_EQ(state->Definitions[0].condition, 1);
  EXPECT_EQ(state->Definitions[0].no_output, 11);
  EXPECT_EQ(state->Definitions[0].yes_output, 12);
  EXPECT_EQ(state->Definitions[2].condition, 3);
  EXPECT_EQ(state->ReferenceCount[11], 2);
  EXPECT_EQ(state->ReferenceCount[12], 1);
  EXPECT_EQ(state->ReferenceCount[10], 0);
  EXPECT_EQ(state->ReferenceCount[kNe], 1);
  EXPECT_EQ(state->ReferenceCount[kAno], 1);
  EXPECT_EQ(state->ReferenceCount[4], 1);
}

TEST(LineParser, EightLineDescriptionWithEveryKindOfError) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state,
                      "Top, Light; Mid, ano\n"
                      "Mid  Power  ne  LowBatteryX\n"
                      "Mid  Q  NE  NE\n"
                      "Top  Q  NE  NE\n"
                      "low  light  nic\n"
                      "nic  R  NE  NE\n"
                      "X  S  X  NE\n"
                      "ENDBDD ANO Zed\n");
  std::vector<std::string> expected = {
      " 1: Top, Light; Mid, ano",
      " 2: Mid  Power  ne  LowBatteryX",
      "jmeno ma vice nez 8 znaku",
      "jmeno ma vice nez 8 znaku",
      "jmeno ma vice nez 8 znaku",
      " 3: Mid  Q  NE  NE",
      " 4: Top  Q  NE  NE",
      "uzel tohoto jmena uz byl definovan",
      " 5: low  light  nic",
      "popis uzlu ma mene nez 4 jmena",
      " 6: nic  R  NE  NE",
      "uzel ma nedovolene jmeno",
      " 7: X  S  X  NE",
      "uzel vede sam do sebe",
      " 8: ENDBDD ANO Zed",
      "nezname jmeno vychoziho uzlu",
      // Zed is the start node and has no definition line.
      "uzel nema definici: Zed",
  };
  EXPECT_EQ(Body(result.report), expected);
  EXPECT_EQ(state->FormalError, kErrUndefinedNode);
  EXPECT_EQ(state->StructureError, 1);
  EXPECT_EQ(state->SizeError, 0);
  // Top 10 (row 0), Mid 11 (row 1, condition Q 2), low 12, X 13 (row 2), Zed 14.
  EXPECT_EQ(state->NodeNameLast, 14);
  EXPECT_EQ(state->DefinitionLast, 2);
  EXPECT_EQ(state->DefinitionIndex[11], 1);
  EXPECT_EQ(state->Definitions[1].condition, 2);
  EXPECT_EQ(state->Definitions[2].node, 13);
  EXPECT_EQ(state->DefinitionIndex[12], -1);
  EXPECT_EQ(state->StartNode, 14);
  ASSERT_EQ(result.messages.size(), 2u);
  EXPECT_EQ(result.messages[0].first, kMsgFormal);
  EXPECT_EQ(result.messages[1].first, kMsgStructure);
}

// One description per row: the diagnostics after its echo lines and the registers it leaves.
struct LineCase {
  const char* label;
  const char* description;
  std::vector<std::string> diagnostics;  // report lines that are not echo lines
  int formal, structure, size;
};

TEST(LineParser, SingleFindings) {
  const LineCase cases[] = {
      {"separators of every kind", "a,b;c:d\nc x ANO NE\nd y NE ANO\n", {}, 0, 0, 0},
      {"underscore separates, fifth name ignored",
       "Node_1 c x y\nc q ANO NE\nx r NE T\n",
       {},
       0,
       0,
       0},
      {"letter with diacritic separates",
       "Uzel \xE8 x y\n",
       {"popis uzlu ma mene nez 4 jmena"},
       104,
       0,
       0},
      {"blanks only", "   \n", {"popis uzlu ma mene nez 4 jmena"}, 104, 0, 0},
      {"punctuation only", ".,;-\n", {"popis uzlu ma mene nez 4 jmena"}, 104, 0, 0},
      {"three names", "Mid b NE\n", {"popis uzlu ma mene nez 4 jmena"}, 104, 0, 0},
      {"nine characters", "A b NE Abcdefghi\n", {"jmeno ma vice nez 8 znaku"}, 108, 0, 0},
      {"twelve characters",
       "Abcdefghijkl b NE ANO\n",
       {"jmeno ma vice nez 8 znaku", "jmeno ma vice nez 8 znaku", "jmeno ma vice nez 8 znaku",
        "jmeno ma vice nez 8 znaku"},
       108,
       0,
       0},
      {"fifth name of any length", "A b NE ANO Abcdefghijklmnop\n", {}, 0, 0, 0},
      {"digits alone are a name", "1 2 NE ANO\n", {}, 0, 0, 0},
      {"self reference keeps the row", "Mid b Mid ANO\n", {"uzel vede sam do sebe"}, 0, 1, 0},
      {"second definition of the first node",
       "A x NE ANO\nA y ANO NE\n",
       {"uzel tohoto jmena uz byl definovan"},
       0,
       2,
       0},
      {"reserved word as a later node name",
       "A x NE ANO\nT y NE ANO\n",
       {"uzel ma nedovolene jmeno"},
       0,
       3,
       0},
      {"reserved word as the first name", "NE a b c\n", {"uzel ma nedovolene jmeno"}, 0, 3, 0},
      {"end line at the top", "ENDBDD NO\nA x NE ANO\n", {}, 0, 0, 0},
      {"end line alone", "A x NE ANO\nENDBDD\n", {}, 0, 0, 0},
      {"terminal kind not a terminal word",
       "A x NE ANO\nENDBDD Start\n",
       {"nevhodne jmeno koncoveho stavu"},
       105,
       0,
       0},
      {"NIC as terminal kind",
       "A x NE ANO\nENDBDD NIC\n",
       {"nevhodne jmeno koncoveho stavu"},
       105,
       0,
       0},
      {"ENDBDD as terminal kind",
       "A x NE ANO\nENDBDD ENDBDD\n",
       {"nevhodne jmeno koncoveho stavu"},
       105,
       0,
       0},
      {"reserved start node",
       "A x NE ANO\nENDBDD ANO NE\n",
       {"nevhodne jmeno vychoziho uzlu"},
       106,
       0,
       0},
      {"start node named later",
       "A x Later ANO\nENDBDD ANO Later2\nLater y NE ANO\n",
       {"nezname jmeno vychoziho uzlu", "uzel nema definici: Later2"},
       109,
       0,
       0},
      {"end line with a long name is rejected whole",
       "A x NE ANO\nENDBDD Abcdefghi A\n",
       {"jmeno ma vice nez 8 znaku"},
       108,
       0,
       0},
      {"output without a definition", "A x B ANO\n", {"uzel nema definici: B"}, 109, 0, 0},
      {"formal and structure errors together",
       "A x A ANO\nB y\n",
       {"uzel vede sam do sebe", "popis uzlu ma mene nez 4 jmena"},
       104,
       1,
       0},
  };
  for (const LineCase& c : cases) {
    auto state = std::make_unique<AnalysisState>();
    auto result = RunOn(*state, c.description);
    std::vector<std::string> diagnostics;
    bool searched = false;
    for (const std::string& line : Body(result.report)) {
      if (line.rfind(" Prohledavani", 0) == 0) searched = true;
      if (searched) break;
      if (line.size() > 2 && line[0] == ' ' && std::isdigit(static_cast<unsigned char>(line[1])))
        continue;
      diagnostics.push_back(line);
    }
    EXPECT_EQ(diagnostics, c.diagnostics) << c.label;
    EXPECT_EQ(state->FormalError == 0 && searched ? 0 : state->FormalError, c.formal) << c.label;
    EXPECT_EQ(state->StructureError, c.structure) << c.label;
    EXPECT_EQ(state->SizeError, c.size) << c.label;
  }
}

// Parses `lines` as a run would after its header and returns the report lines written.
std::vector<std::string> ParseLines(AnalysisState& state, const std::vector<std::string>& lines) {
  std::string report;
  testing::StartRunInMemory(state, report);
  for (const std::string& line : lines) {
    state.Line = line;
    ParseLine(state);
  }
  state.Report.Close();
  return ReportLines(report);
}

TEST(LineParser, EndLineSetsKindAndStart) {
  struct Case {
    const char* label;
    std::vector<std::string> lines;
    int end_kind, start_node;
  };
  const Case cases[] = {
      {"lower case end line", {"start x NE ANO", "endbdd ano start"}, 1, 10},
      {"no type by F", {"A x NE ANO", "ENDBDD F"}, 8, 0},
      {"no type by no", {"A x NE ANO", "ENDBDD no"}, 6, 0},
      {"ENDBDD alone changes nothing", {"A x NE ANO", "ENDBDD NO A", "ENDBDD"}, 6, 10},
      {"terminal kind taken from a node name", {"A x NE ANO", "ENDBDD A"}, 10, 0},
      {"the later end line wins", {"A x NE ANO", "B y NE A", "ENDBDD NE B", "ENDBDD T A"}, 4, 10},
      {"end line at the top", {"ENDBDD NO"}, 6, 0},
  };
  for (const Case& c : cases) {
    auto state = std::make_unique<AnalysisState>();
    ParseLines(*state, c.lines);
    EXPECT_EQ(state->EndKind, c.end_kind) << c.label;
    EXPECT_EQ(state->StartNode, c.start_node) << c.label;
  }
}

TEST(LineParser, DisplayNamesKeepTheCaseOfTheDefiningLine) {
  auto state = std::make_unique<AnalysisState>();
  auto result = RunOn(*state, "Top Door MID ANO\nMid DOOR NE ANO\n");
  EXPECT_EQ(state->NodeNameLast, 11);
  EXPECT_EQ(Trimmed(state->NodeDisplayNames[11]), "Mid");
  EXPECT_EQ(Trimmed(state->ConditionDisplayNames[1]), "Door");
  EXPECT_EQ(state->ConditionNameLast, 1);
  // An undefined node is shown as first written.
  RunOn(*state, "Top x LowBat ANO\n");
  EXPECT_EQ(Trimmed(state->NodeDisplayNames[11]), "LowBat");
}

TEST(LineParser, FirstKeyIsComparedWithTheReservedWords) {
  auto state = std::make_unique<AnalysisState>();
  RunOn(*state, "ENDBDD NE Top\n");
  EXPECT_EQ(state->EndKind, 5);
  EXPECT_EQ(state->NodeNameLast, 10);  // Top, entered by the start-node lookup
  EXPECT_EQ(state->FormalError, kErrUndefinedNode);
}

// Lines of 8 to 64 bytes are cut with bit masks, others byte by byte; both must find
// the same names. Random lines are parsed as they are and with 70 full stops appended, which
// adds no name but sends them the long way; everything the parser records must agree. The
// separators include the bytes next to the name characters and bytes above 0x7F whose low
// seven bits are a letter or digit.
TEST(LineParser, ShortAndLongLinesAreCutAlike) {
  const std::string name_chars = "0189AMZamz";
  const std::string separators =
      std::string(" \t,-/:@[`{\x7F\x80\xB0\xB9\xC1\xDA\xE1\xFA\xFF") + std::string(1, '\0');
  std::mt19937 random(20261211);
  auto pick = [&random](const std::string& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  auto random_line = [&] {
    std::string line;
    if (random() % 4 == 0) line += pick(separators);
    const int names = static_cast<int>(random() % 7);
    for (int n = 0; n < names; ++n) {
      if (n > 0) {
        for (int k = 1 + static_cast<int>(random() % 3); k > 0; --k) line += pick(separators);
      }
      const int length = random() % 8 == 0 ? 9 + static_cast<int>(random() % 56)
                                           : 1 + static_cast<int>(random() % 9);
      for (int k = 0; k < length; ++k) line += pick(name_chars);
    }
    if (random() % 4 == 0) line += pick(separators);
    return line;
  };
  auto short_state = std::make_unique<AnalysisState>();
  auto long_state = std::make_unique<AnalysisState>();
  int short_lines = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> lines;
    for (int k = 1 + static_cast<int>(random() % 4); k > 0; --k) lines.push_back(random_line());
    std::vector<std::string> padded = lines;
    for (std::string& line : padded) line += std::string(70, '.');
    for (const std::string& line : lines) short_lines += line.size() >= 8 && line.size() <= 64;

    const AnalysisState& a = *short_state;
    const AnalysisState& b = *long_state;
    ASSERT_EQ(ParseLines(*short_state, lines), ParseLines(*long_state, padded)) << lines[0];
    ASSERT_EQ(std::tie(a.FormalError, a.StructureError, a.SizeError, a.EndKind, a.StartNode),
              std::tie(b.FormalError, b.StructureError, b.SizeError, b.EndKind, b.StartNode))
        << lines[0];
    ASSERT_EQ(std::tie(a.NodeNameLast, a.ConditionNameLast, a.DefinitionLast),
              std::tie(b.NodeNameLast, b.ConditionNameLast, b.DefinitionLast))
        << lines[0];
    for (int code = 0; code <= a.NodeNameLast; ++code) {
      ASSERT_EQ(a.NodeNames[code], b.NodeNames[code]) << lines[0];
      ASSERT_EQ(a.NodeDisplayNames[code], b.NodeDisplayNames[code]) << lines[0];
      ASSERT_EQ(a.ReferenceCount[code], b.ReferenceCount[code]) << lines[0];
    }
    for (int code = 1; code <= a.ConditionNameLast; ++code) {
      ASSERT_EQ(a.ConditionNames[code], b.ConditionNames[code]) << lines[0];
      ASSERT_EQ(a.ConditionDisplayNames[code], b.ConditionDisplayNames[code]) << lines[0];
    }
    for (int row = 0; row <= a.DefinitionLast; ++row) {
      const DefinitionRow& x = a.Definitions[row];
      const DefinitionRow& y = b.Definitions[row];
      ASSERT_EQ(std::tie(x.node, x.condition, x.no_output, x.yes_output),
                std::tie(y.node, y.condition, y.no_output, y.yes_output))
          << lines[0];
    }
  }
  EXPECT_GT(short_lines, 3000);  // most lines took the masked way
}

// Fills the node-name table to its last code with defined nodes: node i tests c and ends in
// ANO/NE, so every line enters exactly one new node name.
std::string NodeLines(int count, const char* condition = "c") {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += "N" + std::to_string(i) + " " + condition + " NE ANO\n";
  }
  return text;
}

TEST(NameTables, FullNodeTable) {
  auto state = std::make_unique<AnalysisState>();
  // 4001 user names fill codes 10..4010; then one new node line, one line naming a new output,
  // an old node looked up again, and an end line with a new start node.
  auto result = RunOn(*state, NodeLines(4001) +
                                  "Extra c NE ANO\n"
                                  "N0 c NE ANO\n"
                                  "N5 c NE Another\n"
                                  "ENDBDD Fresh N7\n"
                                  "ENDBDD ANO Fresh\n");
  std::vector<std::string> body = Body(result.report);
  std::vector<std::string> tail(body.end() - 12, body.end());
  std::vector<std::string> expected = {
      " 4002: Extra c NE ANO",
      "prilis mnoho uzlu",
      " 4003: N0 c NE ANO",
      "uzel tohoto jmena uz byl definovan",
      " 4004: N5 c NE Another",
      "uzel tohoto jmena uz byl definovan",
      " 4005: ENDBDD Fresh N7",
      "prilis mnoho uzlu",
      "nevhodne jmeno koncoveho stavu",
      " 4006: ENDBDD ANO Fresh",
      "prilis mnoho uzlu",
      "nevhodne jmeno vychoziho uzlu",
  };
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(state->NodeNameLast, 4010);
  EXPECT_EQ(state->SizeError, kErrTooManyNodes);
  EXPECT_EQ(state->FormalError, kErrReservedStartNode);
  EXPECT_EQ(state->StructureError, kErrDefinedTwice);
  EXPECT_EQ(state->EndKind, 1);
  ASSERT_EQ(result.messages.size(), 3u);
  EXPECT_EQ(result.messages[1].first, kMsgSize);
}

TEST(NameTables, FullNodeTableOnAnOutput) {
  auto state = std::make_unique<AnalysisState>();
  // 4000 names, then a line whose node takes code 4010 and whose no-output finds no code.
  auto result = RunOn(*state, NodeLines(4000) + "Last c Gone1 Last\n");
  std::vector<std::string> body = Body(result.report);
  std::vector<std::string> tail(body.end() - 3, body.end());
  EXPECT_EQ(tail, (std::vector<std::string>{" 4001: Last c Gone1 Last", "prilis mnoho uzlu",
                                            "uzel vede sam do sebe"}));
  EXPECT_EQ(state->DefinitionIndex[4010], 4000);
  EXPECT_EQ(state->Definitions[4000].no_output, -1);
  EXPECT_EQ(state->Definitions[4000].yes_output, 4010);
  EXPECT_EQ(state->ReferenceCount[4010], 1);
  EXPECT_EQ(state->StructureError, kErrSelfReference);
  EXPECT_EQ(state->SizeError, kErrTooManyNodes);
}

TEST(NameTables, FullConditionTable) {
  // A description cannot fill this table (every new condition needs a new defined node), so
  // the lookups are driven directly.
  std::string report;  // outlives the state, whose report writes into it
  auto state = std::make_unique<AnalysisState>();
  testing::StartRunInMemory(*state, report);
  for (int i = 1; i <= 4010; ++i) {
    ASSERT_EQ(LookupCondition(*state, ToKey(PadName("C" + std::to_string(i)))), i);
  }
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("C4011"))), -1);
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("c17"))), 17);
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("C4012"))), -1);
  EXPECT_EQ(state->ConditionNameLast, 4010);
  EXPECT_EQ(state->SizeError, kErrTooManyConditions);
  state->Report.Close();
  EXPECT_EQ(report, "prilis mnoho podminek\r\nprilis mnoho podminek\r\n");
}

TEST(NameTables, CodesInOrderOfFirstLookup) {
  auto state = std::make_unique<AnalysisState>();
  ResetState(*state);
  testing::TempDir dir;
  state->Report.Create(dir.path() + "/r.Out");
  auto node = [&](const char* text) { return LookupNode(*state, ToKey(PadName(text))); };
  EXPECT_EQ(node("Start"), 10);
  EXPECT_EQ(node("ano"), 1);
  EXPECT_EQ(node("Ano"), 1);
  EXPECT_EQ(node("t"), 4);
  EXPECT_EQ(node("endbdd"), 9);
  EXPECT_EQ(node("nic"), 0);
  EXPECT_EQ(state->NodeNameLast, 10);
  EXPECT_EQ(node("ANO1"), 11);
  EXPECT_EQ(node("TT"), 12);
  EXPECT_EQ(node("ENDBDD1"), 13);
  EXPECT_EQ(node("START"), 10);
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("Start"))), 1);
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("x"))), 2);
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("start"))), 1);
  // A later run does not find names left above the counters.
  ResetState(*state);
  EXPECT_EQ(node("TT"), 10);
  EXPECT_EQ(node("Start"), 11);
  EXPECT_EQ(LookupCondition(*state, ToKey(PadName("x"))), 1);
}

}  // namespace
}  // namespace ramivo
