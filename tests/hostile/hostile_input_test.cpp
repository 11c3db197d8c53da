// Descriptions built to break the tool: huge lines, binary bytes, NUL bytes in names, masses
// of empty lines, the longest chain, a ladder with more than 2^30 paths, long cycles and more
// names than the tables hold. Each must end with its diagnostics or verdict, without a
// crash. The test runner gives every test here a time limit (tests/hostile/CMakeLists.txt),
// so a run that takes more than seconds fails instead of hanging.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/run_driver.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReportLines;

const std::vector<std::string> kHeader = {
    "Kontrolni vypis zadani BDD s ocislovanymi radky",
    "vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :",
};

struct Outcome {
  std::vector<std::string> lines;
  std::vector<std::string> messages;
};

// One run on `description`, written to a file; the report stays in memory, which spares the
// disk half the traffic of the 100 MB cases.
Outcome Analyse(const std::string& description) {
  testing::TempDir dir;
  testing::RecordingPlatform platform(dir.Write("net.txt", description));
  std::string report;
  platform.make_sink = [&report](const std::string&) { return CreateStringSink(report); };
  auto state = std::make_unique<AnalysisState>();
  RunAnalysis(*state, platform);
  Outcome outcome{ReportLines(report), {}};
  for (const auto& [text, kind] : platform.messages) outcome.messages.push_back(text);
  return outcome;
}

std::string Echo(int number, const std::string& line) {
  return " " + std::to_string(number) + ": " + line;
}

std::string Padded(const std::string& name) {
  return name + std::string(8 - name.size(), ' ');
}

std::string N(int i) {
  return "N" + std::to_string(i);
}

// Lines of the listing of one product, joined again: the continuation lines lose the six
// blanks that begin them.
std::string JoinedListing(const std::vector<std::string>& lines, std::size_t first,
                          std::size_t count) {
  std::string joined = lines[first];
  for (std::size_t i = first + 1; i < first + count; ++i) {
    EXPECT_EQ(lines[i].substr(0, 6), "      ") << "line " << i;
    joined += lines[i].substr(6);
  }
  return joined;
}

// --- Huge lines ---------------------------------------------------------------------------

constexpr std::size_t k100Mb = 100u << 20;

std::string Repeat(const std::string& piece, std::size_t size) {
  std::string text;
  text.reserve(size + piece.size());
  while (text.size() < size) text += piece;
  return text;
}

TEST(HostileInput, LineOf100Mb) {
  const std::vector<std::string> analysed = {
      " Prohledavani BDD zacne uzlem: A       ",
      " hledaji se konce typu ANO",
      "Pouzite uzly: kod, jmeno ",
      "10 =  A       ",
      " ****trasa 1",
      " 10",
      "Kontrolni vypis - nalezene souciny:",
      " #1:   x",
      "Vysledek - neredundantni souciny, uvedene vzestupne:",
      " #1:   x",
  };
  struct Case {
    const char* label;
    std::function<std::string()> make_line;  // made one at a time: each is 100 MB
    std::vector<std::string> after_echo;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      // Names after the fourth are not looked at, whatever their number and length.
      {"four names, then 100 MB of further names",
       [] { return "A x NE ANO " + Repeat("Abcdefgh; ", k100Mb); },
       analysed,
       {kMsgSuccess}},
      {"four names between 100 MB of blanks and tabs",
       [] { return Repeat(" \t", k100Mb / 2) + "A x NE ANO" + Repeat("\t ", k100Mb / 2); },
       analysed,
       {kMsgSuccess}},
      {"100 MB of separators and no name",
       [] { return Repeat("-,;.:_/", k100Mb); },
       {"popis uzlu ma mene nez 4 jmena"},
       {kMsgFormal}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string line = c.make_line();
    Outcome outcome = Analyse(line + "\r\n");
    ASSERT_EQ(outcome.lines.size(), 3 + c.after_echo.size());
    EXPECT_EQ(outcome.lines[0], kHeader[0]);
    EXPECT_EQ(outcome.lines[1], kHeader[1]);
    // Not EXPECT_EQ: a failure would print 100 MB.
    EXPECT_TRUE(outcome.lines[2] == Echo(1, line)) << "the echo line differs from the input";
    EXPECT_EQ(std::vector<std::string>(outcome.lines.begin() + 3, outcome.lines.end()),
              c.after_echo);
    EXPECT_EQ(outcome.messages, c.messages);
  }
}

// --- Binary files ----------------------------------------------------------------------------

TEST(HostileInput, EveryByteValueInOrder) {
  // Bytes 0 to 255, a thousand times over. LF (10) ends the first line; the second loses its
  // CR (13) and ends at Ctrl-Z (26), which ends the input as well.
  std::string bytes;
  for (int round = 0; round < 1000; ++round) {
    for (int value = 0; value < 256; ++value) bytes += static_cast<char>(value);
  }
  std::string first(bytes.begin(), bytes.begin() + 10);
  std::string second;
  for (int value = 11; value < 26; ++value) {
    if (value != 13) second += static_cast<char>(value);
  }
  Outcome outcome = Analyse(bytes);
  std::vector<std::string> expected = kHeader;
  expected.insert(expected.end(), {Echo(1, first), "popis uzlu ma mene nez 4 jmena",
                                   Echo(2, second), "popis uzlu ma mene nez 4 jmena"});
  EXPECT_EQ(outcome.lines, expected);
  EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgFormal});
}

TEST(HostileInput, RandomBytes) {
  // Four MB of bytes from a fixed start value, without Ctrl-Z so that all of it is read.
  std::mt19937 random(20240611);
  std::string bytes;
  while (bytes.size() < (4u << 20)) {
    char byte = static_cast<char>(random() & 0xFF);
    if (byte != 26) bytes += byte;
  }
  // The lines the reader must see: split at LF, every CR dropped, empty lines skipped.
  std::vector<std::string> echoes;
  std::string line;
  auto end_line = [&] {
    if (!line.empty()) echoes.push_back(Echo(static_cast<int>(echoes.size()) + 1, line));
    line.clear();
  };
  for (char byte : bytes) {
    if (byte == '\n') {
      end_line();
    } else if (byte != '\r') {
      line += byte;
    }
  }
  end_line();

  Outcome outcome = Analyse(bytes);
  ASSERT_GE(outcome.lines.size(), 2 + echoes.size());
  EXPECT_EQ(std::vector<std::string>(outcome.lines.begin(), outcome.lines.begin() + 2), kHeader);
  // Every line echoed, in order; diagnostics and search lines may stand between them.
  std::vector<std::string> found;
  for (const std::string& report_line : outcome.lines) {
    if (found.size() < echoes.size() && report_line == echoes[found.size()]) {
      found.push_back(report_line);
    }
  }
  EXPECT_EQ(found.size(), echoes.size());
  // Names of random bytes name outputs that no line defines: the description is refused.
  ASSERT_FALSE(outcome.messages.empty());
  EXPECT_NE(outcome.messages[0], kMsgSuccess);
}

// --- NUL bytes ------------------------------------------------------------------------------

TEST(HostileInput, NulBytesSeparateNamesAndReachTheEchoUnchanged) {
  using namespace std::string_literals;
  const std::string description =
      "\0Top\0c1\0Mid\0ANO\0\n"
      "Mid c2 NE\0ANO\n"
      "ENDBDD\0ANO\0\0Top\n"s;
  Outcome outcome = Analyse(description);
  std::vector<std::string> expected = kHeader;
  expected.insert(expected.end(), {
                                      Echo(1, "\0Top\0c1\0Mid\0ANO\0"s),
                                      Echo(2, "Mid c2 NE\0ANO"s),
                                      Echo(3, "ENDBDD\0ANO\0\0Top"s),
                                      " Prohledavani BDD zacne uzlem: Top     ",
                                      " hledaji se konce typu ANO",
                                      "Pouzite uzly: kod, jmeno ",
                                      "10 =  Top     ",
                                      "11 =  Mid     ",
                                      " ****trasa 1",
                                      " -10 11",
                                      " ****trasa 2",
                                      " 10",
                                      "Kontrolni vypis - nalezene souciny:",
                                      " #1:   c2 -c1",
                                      " #2:   c1",
                                      "Vysledek - neredundantni souciny, uvedene vzestupne:",
                                      " #1:   c1",
                                      " #2:   c2 -c1",
                                  });
  EXPECT_EQ(outcome.lines, expected);
  EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgSuccess});
}

// --- A million empty lines ------------------------------------------------------------------

TEST(HostileInput, MillionEmptyLines) {
  const std::string empty_lines = Repeat("\n\r\n", 1'000'000);  // a million of each kind
  {
    SCOPED_TRACE("nothing but empty lines");
    Outcome outcome = Analyse(empty_lines);
    EXPECT_EQ(outcome.lines, kHeader);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgEmptyInput});
  }
  {
    SCOPED_TRACE("empty lines between the lines of a description");
    const std::vector<std::string> description = {"Start  a  Mid  Hi", "Mid  b  NE  ANO",
                                                  "Hi  c  Mid  T", "ENDBDD ANO Start"};
    std::string compact;
    std::string spread = empty_lines;
    for (const std::string& line : description) {
      compact += line + "\n";
      spread += line + "\r\n" + empty_lines;
    }
    Outcome expected = Analyse(compact);
    Outcome outcome = Analyse(spread);
    EXPECT_EQ(outcome.lines, expected.lines);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgSuccess});
  }
}

// --- The longest chain and a ladder of paths ------------------------------------------------

TEST(HostileInput, ChainOf4001Nodes) {
  // As many nodes as the tables hold, each with its own condition, chained by no-branches;
  // only the last leads to ANO. One path through all of them, one product of 4001 literals.
  constexpr int kNodes = 4001;
  std::string description;
  for (int i = 1; i < kNodes; ++i)
    description += N(i) + " c" + std::to_string(i) + " " + N(i + 1) + " NE\n";
  description += N(kNodes) + " c" + std::to_string(kNodes) + " NE ANO\nENDBDD ANO N1\n";

  Outcome outcome = Analyse(description);
  EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgSuccess});
  std::size_t at = 2 + kNodes + 1;  // header and echo lines
  ASSERT_GT(outcome.lines.size(), at + 3 + kNodes + 2);
  EXPECT_EQ(outcome.lines[at++], " Prohledavani BDD zacne uzlem: N1      ");
  EXPECT_EQ(outcome.lines[at++], " hledaji se konce typu ANO");
  EXPECT_EQ(outcome.lines[at++], "Pouzite uzly: kod, jmeno ");
  for (int i = 1; i <= kNodes; ++i) {
    ASSERT_EQ(outcome.lines[at++], std::to_string(9 + i) + " =  " + Padded(N(i)));
  }
  std::string path;
  for (int code = 10; code < 9 + kNodes; ++code) path += " -" + std::to_string(code);
  path += " " + std::to_string(9 + kNodes);
  EXPECT_EQ(outcome.lines[at++], " ****trasa 1");
  EXPECT_EQ(outcome.lines[at++], path);

  // Literals are listed by groups of 32 conditions, each group's positive ones first: c4001
  // is alone in the last group and comes after the negative literals of all the others.
  std::string product = " #1: ";
  for (int i = 1; i < kNodes; ++i) product += " -c" + std::to_string(i);
  product += "  c" + std::to_string(kNodes);
  ASSERT_EQ(outcome.lines[at++], "Kontrolni vypis - nalezene souciny:");
  std::size_t heading = at;
  while (heading < outcome.lines.size() && outcome.lines[heading][0] != 'V') ++heading;
  ASSERT_LT(heading, outcome.lines.size());
  EXPECT_EQ(outcome.lines[heading], "Vysledek - neredundantni souciny, uvedene vzestupne:");
  std::size_t listing = heading - at;
  ASSERT_EQ(outcome.lines.size(), heading + 1 + listing);
  EXPECT_EQ(JoinedListing(outcome.lines, at, listing), product);
  EXPECT_EQ(JoinedListing(outcome.lines, heading + 1, listing), product);
}

// S leads by its no-branch onto rail X; X1 to X<rungs - 1> each lead to the next X by the
// no-branch and onto rail Y by the yes-branch; every Y node leads to the next Y by both
// branches, and the last Y ends in NE twice. From X_i on there are 2^(rungs + 1 - i) paths
// through Y: 2^rungs + 1 paths from S, and only the one along X (every condition false)
// ends in ANO. 2 * rungs nodes.
std::string Ladder(int rungs) {
  std::string text = "S s X1 NE\n";
  for (int i = 1; i < rungs; ++i) {
    std::string next = std::to_string(i + 1);
    text += "X" + std::to_string(i) + " x" + std::to_string(i) + " X" + next + " Y" + next + "\n";
  }
  text += "X" + std::to_string(rungs) + " x" + std::to_string(rungs) + " ANO NE\n";
  for (int i = 2; i <= rungs; ++i) {
    std::string next = i < rungs ? "Y" + std::to_string(i + 1) : "NE";
    text += "Y" + std::to_string(i) + " y" + std::to_string(i) + " " + next + " " + next + "\n";
  }
  return text + "ENDBDD ANO S\n";
}

TEST(HostileInput, LadderWithMoreThan2To30PathsAndOneToTheEnd) {
  // 30 rungs are 60 nodes and 2^30 + 1 paths; walking them all takes seconds even without
  // sanitizers. 45 rungs (2^45 + 1 paths) cannot be walked path by path within any limit.
  for (int rungs : {30, 45}) {
    SCOPED_TRACE(std::to_string(rungs) + " rungs");
    Outcome outcome = Analyse(Ladder(rungs));
    EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgSuccess});
    std::vector<std::string> traced;
    for (std::size_t i = 0; i + 1 < outcome.lines.size(); ++i) {
      if (outcome.lines[i].rfind(" ****trasa ", 0) == 0) traced.push_back(outcome.lines[i + 1]);
    }
    ASSERT_EQ(traced.size(), 1u);
    // S, then every X, all left by the no-branch.
    EXPECT_EQ(std::count(traced[0].begin(), traced[0].end(), '-'), rungs + 1);
    EXPECT_EQ(std::count(traced[0].begin(), traced[0].end(), ' '), rungs + 1);

    std::string product = " #1:  -s";
    for (int i = 1; i <= rungs; ++i) product += " -x" + std::to_string(i);
    auto heading = std::find(outcome.lines.begin(), outcome.lines.end(),
                             "Kontrolni vypis - nalezene souciny:");
    ASSERT_NE(heading, outcome.lines.end());
    std::size_t at = heading - outcome.lines.begin() + 1;
    std::size_t listing = (outcome.lines.size() - at - 1) / 2;
    EXPECT_EQ(JoinedListing(outcome.lines, at, listing), product);
    EXPECT_EQ(JoinedListing(outcome.lines, at + listing + 1, listing), product);
  }
}

// --- Cycles -----------------------------------------------------------------------------------

// `length` nodes N1..N<length> in a cycle through their no-branches (yes-branches when
// `by_yes`); the other branch of each ends in ANO.
std::string Cycle(int length, bool by_yes) {
  std::string text;
  for (int i = 1; i <= length; ++i) {
    std::string next = N(i < length ? i + 1 : 1);
    std::string condition = " c" + std::to_string(i) + " ";
    text += N(i) + condition + (by_yes ? "ANO " + next : next + " ANO") + "\n";
  }
  return text;
}

TEST(HostileInput, Cycles) {
  struct Case {
    const char* label;
    std::string description;
    int listed_nodes;
    std::vector<std::string> search_begins;
    std::string cycle_line;  // empty: the search ends before the cycle check
    const char* message;
  };
  const std::vector<std::string> from_n1 = {" Prohledavani BDD zacne uzlem: N1      ",
                                            " hledaji se konce typu ANO",
                                            "Pouzite uzly: kod, jmeno "};
  const std::vector<std::string> no_start = {
      " Prohledavani BDD zacne uzlem: ", "chyba: nenalezen vrcholovy uzel",
      " hledaji se konce typu ANO", "Pouzite uzly: kod, jmeno "};
  const std::vector<Case> cases = {
      {"two nodes", Cycle(2, false) + "ENDBDD ANO N1\n", 2, from_n1, "uzel lezi na cyklu: N1",
       kMsgStructure},
      {"4000 nodes by no-branches", Cycle(4000, false) + "ENDBDD ANO N1\n", 4000, from_n1,
       "uzel lezi na cyklu: N1", kMsgStructure},
      {"4000 nodes by yes-branches", Cycle(4000, true) + "ENDBDD ANO N1\n", 4000, from_n1,
       "uzel lezi na cyklu: N1", kMsgStructure},
      {"4000 nodes below the start node",
       "N0 s N2 NE\n" + Cycle(4000, false) + "ENDBDD ANO N0\n",
       4001,
       {" Prohledavani BDD zacne uzlem: N0      ", " hledaji se konce typu ANO",
        "Pouzite uzly: kod, jmeno "},
       "uzel lezi na cyklu: N2",
       kMsgStructure},
      // Every node is some node's output: there is no start node, and nothing is walked.
      {"4000 nodes and no end line", Cycle(4000, false), 0, no_start, "", kMsgNoPath},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Outcome outcome = Analyse(c.description);
    std::size_t echoes = std::count(c.description.begin(), c.description.end(), '\n');
    std::size_t at = 2 + echoes;
    bool cycle_found = !c.cycle_line.empty();
    ASSERT_EQ(outcome.lines.size(), at + c.search_begins.size() + c.listed_nodes + cycle_found);
    EXPECT_EQ(std::vector<std::string>(outcome.lines.begin() + at,
                                       outcome.lines.begin() + at + c.search_begins.size()),
              c.search_begins);
    if (cycle_found) {
      EXPECT_EQ(outcome.lines.back(), c.cycle_line);
    }
    EXPECT_EQ(outcome.messages, std::vector<std::string>{c.message});
  }
}

// --- More names than the tables hold ----------------------------------------------------------

// `count` node lines N1..N<count>, each ending in NE and ANO.
std::string NodeLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += N(i) + " c NE ANO\n";
  return text;
}

TEST(HostileInput, MoreThan4001UserNames) {
  {
    SCOPED_TRACE("a 4002nd node line");
    Outcome outcome = Analyse(NodeLines(4002));
    std::vector<std::string> expected = kHeader;
    for (int i = 1; i <= 4002; ++i) expected.push_back(Echo(i, N(i) + " c NE ANO"));
    expected.push_back("prilis mnoho uzlu");
    EXPECT_EQ(outcome.lines, expected);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{kMsgSize});
  }
  {
    // A line of the full table whose first name is new records nothing; outputs without a
    // code get no reference, and the outputs that did get one are undefined (109).
    SCOPED_TRACE("new names as outputs");
    std::string description;
    for (int i = 1; i <= 1400; ++i) {
      std::string n = std::to_string(i);
      description += "A" + n + " c B" + n + " C" + n + "\n";
    }
    Outcome outcome = Analyse(description);
    // Names come three a line, A B C: the table's 4001st user name is B1334.
    int full = 0;
    std::vector<std::string> undefined;
    for (const std::string& line : outcome.lines) {
      if (line == "prilis mnoho uzlu") ++full;
      if (line.rfind("uzel nema definici: ", 0) == 0) undefined.push_back(line.substr(20));
    }
    EXPECT_EQ(full, 1 + (1400 - 1334));  // C1334, then A1335 to A1400
    ASSERT_EQ(undefined.size(), 2u * 1333 + 1);
    EXPECT_EQ(undefined.front(), "B1");
    EXPECT_EQ(undefined[1], "C1");
    EXPECT_EQ(undefined.back(), "B1334");
    EXPECT_EQ(outcome.messages, (std::vector<std::string>{kMsgFormal, kMsgSize}));
  }
  struct EndLineCase {
    const char* end_line;
    std::vector<std::string> diagnostics;
  };
  // With the table full an end line's new name has no code: it fails the range tests of the
  // end line, and is not called unknown.
  const std::vector<EndLineCase> end_lines = {
      {"ENDBDD ANO Later", {"prilis mnoho uzlu", "nevhodne jmeno vychoziho uzlu"}},
      {"ENDBDD Later", {"prilis mnoho uzlu", "nevhodne jmeno koncoveho stavu"}},
  };
  for (const EndLineCase& c : end_lines) {
    SCOPED_TRACE(c.end_line);
    Outcome outcome = Analyse(NodeLines(4001) + c.end_line + "\n");
    std::vector<std::string> expected = {Echo(4002, c.end_line)};
    expected.insert(expected.end(), c.diagnostics.begin(), c.diagnostics.end());
    ASSERT_EQ(outcome.lines.size(), 2 + 4001 + expected.size());
    EXPECT_EQ(std::vector<std::string>(outcome.lines.end() - expected.size(), outcome.lines.end()),
              expected);
    EXPECT_EQ(outcome.messages, (std::vector<std::string>{kMsgFormal, kMsgSize}));
  }
}

}  // namespace
}  // namespace ramivo
