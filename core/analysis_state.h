// The one record of an analysis: name tables, definitions, counters, error registers,
// product store and scratch stores, all preallocated at their limits. The owner (window,
// batch tool, test) creates it once and passes it by reference; ResetState prepares it for
// the next run and keeps InputName/ReportName of the previous one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text_file.h"

namespace ramivo {

// Limits of the tables; they are part of the tool's behaviour.
inline constexpr int kNodeCodeLast = 4010;  // node codes 0..4010, 0..9 reserved
inline constexpr int kFirstUserNode = 10;
inline constexpr int kConditionCodeLast = 4010;  // condition codes 1..4010
inline constexpr int kDefinitionRowLast = 4000;  // definition rows 0..4000
inline constexpr int kProductStoreWords = 64000;
// Room for the longest possible path: every user node once plus one slot to spare.
inline constexpr int kPathStackSlots = kNodeCodeLast + 2;

// Reserved node codes.
inline constexpr int kNic = 0;
inline constexpr int kAno = 1;
inline constexpr int kNe = 5;
inline constexpr int kEndBdd = 9;

// A name: exactly eight single-byte characters, padded on the right with blanks.
using Name = std::array<char, 8>;

// `text` (at most eight bytes) padded with blanks to eight.
Name PadName(std::string_view text);
// `name` upper-cased (ASCII letters only; other bytes are never part of a name).
Name ToKey(const Name& name);
// `name` without characters of code 32 or less at either end, as product listings show it.
std::string_view TrimmedName(const Name& name);
// `name` without the blanks that pad it on the right, as diagnostics show a node.
std::string_view WithoutTrailingBlanks(const Name& name);

struct DefinitionRow {
  int node = 0;
  int condition = 0;
  int no_output = 0;   // reached when the condition is false ("NE" branch)
  int yes_output = 0;  // reached when the condition is true ("ANO" branch)
};

// Error register codes.
enum : int {
  kErrEmptyInput = -1,
  kErrFewerThanFourNames = 104,
  kErrBadEndKind = 105,
  kErrReservedStartNode = 106,
  kErrUnknownStartNode = 107,
  kErrNameTooLong = 108,
  kErrUndefinedNode = 109,
  kErrNoStartNode = 111,
  kErrStoreFull = 200,
  kErrNoPathToEnd = 202,
  kErrSelfReference = 1,
  kErrDefinedTwice = 2,
  kErrReservedNodeName = 3,
  kErrCycle = 4,
  kErrTooManyDefinitions = 4000,
  kErrTooManyConditions = 4001,
  kErrTooManyNodes = 4010,
};

struct AnalysisState {
  // Tables by node code.
  std::array<Name, kNodeCodeLast + 1> NodeNames{};
  std::array<Name, kNodeCodeLast + 1> NodeDisplayNames{};
  std::array<int, kNodeCodeLast + 1> DefinitionIndex{};
  std::array<int, kNodeCodeLast + 1> ReferenceCount{};
  std::array<int, kNodeCodeLast + 1> VisitCount{};

  // Tables by condition code (slot 0 unused).
  std::array<Name, kConditionCodeLast + 1> ConditionNames{};
  std::array<Name, kConditionCodeLast + 1> ConditionDisplayNames{};
  std::array<int, kConditionCodeLast + 1> ConditionUseCount{};

  std::array<DefinitionRow, kDefinitionRowLast + 1> Definitions{};

  // Hash indexes beside the name tables: slot -> code + 1, 0 when empty. They give the
  // same codes as a scan in code order, since every key is entered at most once.
  static constexpr int kIndexSlots = 16384;
  std::array<std::int16_t, kIndexSlots> NodeIndex{};
  std::array<std::int16_t, kIndexSlots> ConditionIndex{};

  int NodeNameLast = -1;
  int ConditionNameLast = 0;
  int DefinitionLast = -1;
  int LineCount = 0;
  int StartNode = 0;
  int EndKind = 0;
  bool SearchYes = true;  // yes-type ends sought; fixed by the search

  bool MayCompute = false;  // reading raised no error: the search ran

  int FormalError = 0;
  int StructureError = 0;
  int SizeError = 0;

  // Reachable nodes in depth-first post-order (every node after both its successors), left by
  // the cycle check for the walks that follow it.
  std::array<int, kNodeCodeLast + 1> PostOrder{};
  int PostOrderLength = 0;
  // Per node code: scratch of the cycle check, then whether the sought end can be reached.
  std::array<std::uint8_t, kNodeCodeLast + 1> NodeMark{};
  std::array<bool, kNodeCodeLast + 1> LeadsToEnd{};

  // PathStack[1..PathLength]; slot 0 is unused.
  std::array<int, kPathStackSlots + 1> PathStack{};
  int PathLength = 0;

  // Product store: records of RecordWords words, positive half first. Word w of the
  // store (counted from 0) is Products[w].
  std::array<std::uint32_t, kProductStoreWords> Products{};
  int ProductWords = 0;
  int HalfWords = 1;
  int RecordWords = 2;

  // Scratch for the reduction and the listing.
  std::array<std::uint32_t, kProductStoreWords> SortBuffer{};
  int SortBufferFill = 0;
  std::array<int, kProductStoreWords + 1> Aux{};

  // Scratch of the fast reduction (products/product_reduction.cpp): the start of each
  // literal count in the stable counting sort, the records' bits in an interleaved order
  // (condition 1 true, condition 1 false, condition 2 true, ...) as search keys, and a
  // crit-bit tree over the kept products with the stack of its subset search.
  static constexpr int kMaxRecordWords = 2 * ((kConditionCodeLast - 1) / 32 + 1);
  static constexpr int kMaxLiterals = kMaxRecordWords * 32;
  static constexpr int kMaxProducts = kProductStoreWords / 2;  // records have 2+ words
  // An edge of the tree: the subtree it leads to (node index, or ~position for a single
  // product), the first key bit at which the products there differ (the key's length for a
  // single product), and one of them (rep: its sorted position and first 64 key bits); they
  // all agree on the bits before `bit`.
  struct ReductionEdge {
    std::uint64_t rep_bits;
    int ref;
    int bit;
    int rep;
  };
  struct ReductionNode {
    ReductionEdge child[2];  // by the edge's bit: products without it, products with it
  };
  struct ReductionPending {
    const ReductionEdge* edge;
    int from;  // the bit decided by the branch into the edge
  };
  std::array<int, kMaxLiterals + 2> ReductionCountStart{};
  // A copy of the store as the path walk left it (EnumeratePaths). The products of one walk
  // never absorb one another (any two part at a node with opposite literals), so when the
  // store still holds exactly these words the reduction is the sort alone.
  std::array<std::uint32_t, kProductStoreWords> WalkedProducts{};
  int WalkedProductWords = -1;  // -1: no copy
  int WalkedRecordWords = 0;
  std::array<std::uint32_t, kProductStoreWords> ReductionKeys{};
  std::array<ReductionNode, kMaxProducts> ReductionNodes{};
  std::array<ReductionPending, kMaxProducts + 1> ReductionStack{};

  // Scratch of RecordPath (search/path_enumeration.cpp): the last path line written, kept so
  // that the next one reformats only the slots from the first that changed. Entry[k] is the
  // PathStack entry formatted at slot k, End[k] the length of the text through slot k,
  // Word[k] and Bit[k] the record word (half included) and bit of that entry's literal.
  std::array<char, 6 * kPathStackSlots + 16> PathLineText{};
  std::array<int, kPathStackSlots + 1> PathLineEntry{};
  std::array<int, kPathStackSlots + 1> PathLineEnd{};
  std::array<int, kPathStackSlots + 1> PathLineWord{};
  std::array<std::uint32_t, kPathStackSlots + 1> PathLineBit{};
  // With HalfWords 1: the record of the slots 1..k (positive and negative word).
  std::array<std::uint32_t, kPathStackSlots + 1> PathLinePositive{};
  std::array<std::uint32_t, kPathStackSlots + 1> PathLineNegative{};

  // Scratch of EnumeratePaths: per reachable node, where its no-branch [0] and yes-branch [1]
  // lead the walk: a node that can reach the sought end, the sought terminal, or 0 for
  // anything the walk does not follow.
  std::array<std::array<int, 2>, kNodeCodeLast + 1> WalkNext{};
  int PathLineSlots = 0;
  // Per reachable node, its entry in a path line as left by the no-branch [0] (" -code") and
  // by the yes-branch [1] (" code"), and the length of each.
  std::array<std::array<Name, 2>, kNodeCodeLast + 1> PathEntryText{};
  std::array<std::array<std::uint8_t, 2>, kNodeCodeLast + 1> PathEntryLength{};

  // Scratch of WriteProducts (products/product_listing.cpp): each condition's display name
  // trimmed and moved to the front of its eight bytes, and its trimmed length.
  std::array<Name, kConditionCodeLast + 1> ListingNames{};
  std::array<std::uint8_t, kConditionCodeLast + 1> ListingNameLength{};

  std::string InputName;
  std::string ReportName;
  std::string Line;        // the input line being parsed
  std::string LineBuffer;  // a report line being assembled; keeps its capacity between lines

  TextReader Input;
  TextWriter Report;
};

// Prepares the state for a new run: reserved words, counters, registers, per-code tables.
// InputName, ReportName and the name/definition tables above the counters are kept.
void ResetState(AnalysisState& state);

}  // namespace ramivo
