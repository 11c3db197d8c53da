#include "reader/line_parser.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "reader/name_tables.h"

namespace ramivo {

namespace {

constexpr int kFieldCount = 4;
constexpr int kNameLength = 8;

// The name characters: ASCII digits and letters.
struct NameCharTable {
  bool is[256] = {};
  constexpr NameCharTable() {
    for (int c = '0'; c <= '9'; ++c) is[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) is[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) is[c] = true;
  }
};
constexpr NameCharTable kNameChars;

bool IsNameChar(unsigned char c) {
  return kNameChars.is[c];
}

constexpr Name kBlankName = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

// The key of a field: a field holds only name characters and blanks, and among those exactly
// the lower-case letters have both bits 0x40 and 0x20 set, so clearing 0x20 wherever 0x40 is
// set upper-cases the eight bytes at once (ToKey gives the same).
Name FieldKey(const Name& field) {
  std::uint64_t bytes;
  std::memcpy(&bytes, field.data(), sizeof bytes);
  bytes &= ~((bytes & 0x4040404040404040ull) >> 1);
  Name key;
  std::memcpy(key.data(), &bytes, sizeof bytes);
  return key;
}

std::string_view TrimControlAndBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

struct Fields {
  std::array<Name, kFieldCount> text;  // as written, padded
  int count = 0;                       // names found
  bool valid = true;
};

// Each name character beyond the eighth raises 108, with one report line per character.
void ReportLongName(AnalysisState& state, Fields& fields, std::size_t length) {
  for (std::size_t extra = kNameLength; extra < length; ++extra) {
    state.FormalError = kErrNameTooLong;
    state.Report.WriteLine("jmeno ma vice nez 8 znaku");
    fields.valid = false;
  }
}

// Cuts the line into at most four names. The scan goes name by name: a run of name characters
// is one name, of which the first eight go into its field, blank to begin with; the scan stops
// once the fourth name is stored, so a fifth name is never looked at.
void CutFieldsByteByByte(AnalysisState& state, std::string_view line, Fields& fields) {
  const unsigned char* at = reinterpret_cast<const unsigned char*>(line.data());
  const unsigned char* const end = at + line.size();
  int count = 0;
  while (count < kFieldCount) {
    while (at != end && !IsNameChar(*at)) ++at;
    if (at == end) break;
    const unsigned char* name = at;
    while (at != end && IsNameChar(*at)) ++at;
    const std::size_t length = static_cast<std::size_t>(at - name);
    std::memcpy(fields.text[count].data(), name, std::min<std::size_t>(length, kNameLength));
    ReportLongName(state, fields, length);
    ++count;
  }
  fields.count = count;
}

// The lines of 8 to 64 bytes (all but very short or hostile ones) are cut the same way
// without a branch per character: bit i of a mask tells whether byte i is a name character,
// each name is the lowest run of ones, and its field is loaded as one word with the bytes
// beyond the name made blank. Byte-wise branches at every name boundary cost more than the
// rest of the line's parsing. The words are read from the line itself, the last one ending
// at its last byte, so that nothing past the line is touched.
constexpr std::size_t kMaskedLineMin = 8;
constexpr std::size_t kMaskedLineMax = 64;

std::uint64_t Load8(const unsigned char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// One bit per byte of `word` (little-endian order): set for an ASCII letter or digit.
std::uint64_t NameBits(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  const std::uint64_t ascii = word & ~kHigh;  // no byte above 0x7F: the additions cannot carry
  const std::uint64_t folded = ascii | (0x20 * kOnes);  // upper case letters to lower case
  const std::uint64_t digit =
      ((ascii + (0x80 - '0') * kOnes) & ~(ascii + (0x80 - '9' - 1) * kOnes));
  const std::uint64_t letter =
      ((folded + (0x80 - 'a') * kOnes) & ~(folded + (0x80 - 'z' - 1) * kOnes));
  const std::uint64_t name = (digit | letter) & ~word & kHigh;
  // Gathers the top bit of byte k into bit 56 + k, then down to bit k.
  return ((name >> 7) * 0x0102040810204080ull) >> 56;
}

void CutFieldsMasked(AnalysisState& state, std::string_view line, Fields& fields) {
  const unsigned char* const bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  const std::size_t last_at = size - 8;
  const std::uint64_t last = Load8(bytes + last_at);  // the line's last eight bytes
  std::uint64_t mask = 0;
  std::size_t at = 0;
  for (; at + 8 <= size; at += 8) mask |= NameBits(Load8(bytes + at)) << at;
  if (at < size) mask |= NameBits(last) >> (8 - (size - at)) << at;

  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  int count = 0;
  for (; count < kFieldCount && mask != 0; ++count) {
    const std::size_t start = static_cast<std::size_t>(std::countr_zero(mask));
    const std::size_t length = static_cast<std::size_t>(std::countr_one(mask >> start));
    // A name within the last eight bytes is shifted down out of the last word.
    const std::uint64_t word =
        start <= last_at ? Load8(bytes + start) : last >> (8 * (start - last_at));
    const std::uint64_t keep =
        length >= kNameLength ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * length)) - 1;
    const std::uint64_t field = (word & keep) | (kBlanks & ~keep);
    std::memcpy(fields.text[count].data(), &field, sizeof field);
    ReportLongName(state, fields, length);
    mask &= mask + (mask & (~mask + 1));  // clears the lowest run of ones
  }
  fields.count = count;
}

Fields CutFields(AnalysisState& state, std::string_view line) {
  Fields fields;
  fields.text.fill(kBlankName);
  // The masks take byte k of a word as its bits 8k to 8k+7.
  if (std::endian::native == std::endian::little && line.size() >= kMaskedLineMin &&
      line.size() <= kMaskedLineMax) {
    CutFieldsMasked(state, line, fields);
  } else {
    CutFieldsByteByByte(state, line, fields);
  }
  return fields;
}

// LookupNode for a field; a name new to the table is shown as written until its own
// definition line names it.
int LookupNodeField(AnalysisState& state, const Name& field) {
  int before = state.NodeNameLast;
  int code = LookupNode(state, FieldKey(field));
  if (state.NodeNameLast != before) state.NodeDisplayNames[code] = field;
  return code;
}

void ParseEndLine(AnalysisState& state, const Fields& fields) {
  if (fields.count >= 2) {
    state.EndKind = LookupNodeField(state, fields.text[1]);
    if (state.EndKind < 1 || state.EndKind > 8) {
      state.FormalError = kErrBadEndKind;
      state.Report.WriteLine("nevhodne jmeno koncoveho stavu");
    }
  }
  if (fields.count >= 3) {
    int before = state.NodeNameLast;
    state.StartNode = LookupNodeField(state, fields.text[2]);
    if (state.StartNode <= kEndBdd) {
      state.FormalError = kErrReservedStartNode;
      state.Report.WriteLine("nevhodne jmeno vychoziho uzlu");
    }
    if (state.NodeNameLast > before) {
      state.FormalError = kErrUnknownStartNode;
      state.Report.WriteLine("nezname jmeno vychoziho uzlu");
    }
  }
}

void ParseNodeLine(AnalysisState& state, const Fields& fields, int node, int conditions_before) {
  DefinitionRow* row = nullptr;
  if (state.DefinitionLast < kDefinitionRowLast) {
    ++state.DefinitionLast;
    row = &state.Definitions[state.DefinitionLast];
    row->node = node;
    state.DefinitionIndex[node] = state.DefinitionLast;
    state.NodeDisplayNames[node] = fields.text[0];
  } else {
    state.SizeError = kErrTooManyDefinitions;
    state.Report.WriteLine("prilis mnoho podminek");
  }

  int condition = LookupCondition(state, FieldKey(fields.text[1]));
  if (state.ConditionNameLast > conditions_before) {
    state.ConditionDisplayNames[condition] = fields.text[1];
  }
  int no_output = LookupNodeField(state, fields.text[2]);
  if (no_output >= 0) ++state.ReferenceCount[no_output];
  int yes_output = LookupNodeField(state, fields.text[3]);
  if (yes_output >= 0) ++state.ReferenceCount[yes_output];
  if (row != nullptr) {
    row->condition = condition;
    row->no_output = no_output;
    row->yes_output = yes_output;
  }

  if (no_output == node || yes_output == node) {
    state.StructureError = kErrSelfReference;
    state.Report.WriteLine("uzel vede sam do sebe");
  }
}

}  // namespace

void ParseLine(AnalysisState& state) {
  Fields fields = CutFields(state, TrimControlAndBlanks(state.Line));

  int conditions_before = state.ConditionNameLast;
  int node = LookupNodeField(state, fields.text[0]);
  if (node < 0) return;  // node table full: nothing of this line can be recorded
  bool end_line = node == kEndBdd;

  if (!end_line && fields.count < kFieldCount) {
    state.FormalError = kErrFewerThanFourNames;
    state.Report.WriteLine("popis uzlu ma mene nez 4 jmena");
    fields.valid = false;
  }
  if (!fields.valid) return;

  if (state.DefinitionIndex[node] >= 0) {
    state.StructureError = kErrDefinedTwice;
    state.Report.WriteLine("uzel tohoto jmena uz byl definovan");
    return;
  }
  if (node < kEndBdd) {
    state.StructureError = kErrReservedNodeName;
    state.Report.WriteLine("uzel ma nedovolene jmeno");
    return;
  }
  if (end_line) {
    ParseEndLine(state, fields);
  } else {
    ParseNodeLine(state, fields, node, conditions_before);
  }
}

void CheckUndefinedNodes(AnalysisState& state) {
  for (int code = kFirstUserNode; code <= state.NodeNameLast; ++code) {
    if (state.DefinitionIndex[code] >= 0) continue;
    if (state.ReferenceCount[code] == 0 && code != state.StartNode) continue;
    state.FormalError = kErrUndefinedNode;
    std::string& line = state.LineBuffer;
    line = "uzel nema definici: ";
    line += WithoutTrailingBlanks(state.NodeDisplayNames[code]);
    state.Report.WriteLine(line);
  }
}

}  // namespace ramivo
