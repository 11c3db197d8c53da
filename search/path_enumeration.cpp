#include "search/path_enumeration.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "search/definition_row.h"

namespace ramivo {

namespace {

int SoughtTerminal(const AnalysisState& state) {
  return state.SearchYes ? kAno : kNe;
}

// The texts of `node`'s two entries in a path line: a blank, a minus sign for the no-branch,
// the code in decimal (at most four digits, so the entry fits in eight bytes).
static_assert(kNodeCodeLast < 10000);
void NoteEntryTexts(AnalysisState& state, int node) {
  for (int yes = 0; yes < 2; ++yes) {
    Name& text = state.PathEntryText[node][yes];
    text.fill(' ');
    const char* end =
        std::to_chars(text.data() + 1, text.data() + text.size(), yes ? node : -node).ptr;
    state.PathEntryLength[node][yes] = static_cast<std::uint8_t>(end - text.data());
  }
}

// LeadsToEnd[c]: some path from node c ends in the sought terminal. PostOrder puts every
// node after its successors, so one pass settles all reachable nodes.
void MarkNodesLeadingToEnd(AnalysisState& state) {
  const int sought = SoughtTerminal(state);
  std::fill(state.LeadsToEnd.begin(), state.LeadsToEnd.end(), false);
  for (int i = 0; i < state.PostOrderLength; ++i) {
    int node = state.PostOrder[i];
    const DefinitionRow& row = RowOf(state, node);
    auto leads = [&](int next) {
      return next == sought || (next >= kFirstUserNode && state.LeadsToEnd[next]);
    };
    state.LeadsToEnd[node] = leads(row.no_output) || leads(row.yes_output);
  }
  // Where the walk goes from each reachable node: into a node only when the sought end can
  // be reached from it; a branch to anything else than the sought terminal ends there.
  for (int i = 0; i < state.PostOrderLength; ++i) {
    int node = state.PostOrder[i];
    const DefinitionRow& row = RowOf(state, node);
    auto next = [&](int output) {
      if (output >= kFirstUserNode) return state.LeadsToEnd[output] ? output : kNic;
      return output == sought ? sought : kNic;
    };
    state.WalkNext[node] = {next(row.no_output), next(row.yes_output)};
    NoteEntryTexts(state, node);
  }
}

}  // namespace

void EnumeratePaths(AnalysisState& state) {
  state.HalfWords = (state.ConditionNameLast - 1) / 32 + 1;
  state.RecordWords = 2 * state.HalfWords;
  state.ProductWords = 0;
  state.PathLineSlots = 0;  // RecordPath's notes belong to the paths of this walk only
  MarkNodesLeadingToEnd(state);
  const int sought = SoughtTerminal(state);

  // PathStack[1..PathLength] is the current path: -c leaves node c by its no-branch, +c by
  // its yes-branch. A branch into a node that cannot reach the sought end is treated like a
  // dead end: walking it would trace and store nothing.
  state.PathLength = 1;
  state.PathStack[1] = -state.StartNode;
  while (state.PathLength > 0 && state.FormalError == 0) {
    int& top = state.PathStack[state.PathLength];
    int node = top < 0 ? -top : top;
    int next = state.WalkNext[node][top > 0];
    if (next >= kFirstUserNode) {
      state.PathStack[++state.PathLength] = -next;
      continue;
    }
    if (next == sought) RecordPath(state);
    if (top < 0) {
      top = node;
      continue;
    }
    // Both branches of the top node are done, and so are those of every positive entry
    // below it; the first negative entry goes on with its yes-branch.
    while (state.PathLength > 0 && state.PathStack[state.PathLength] > 0) --state.PathLength;
    if (state.PathLength > 0) state.PathStack[state.PathLength] *= -1;
  }
  state.PathLength = 0;

  // The reduction recognises these products by their words (see WalkedProducts).
  std::copy_n(state.Products.begin(), state.ProductWords, state.WalkedProducts.begin());
  state.WalkedProductWords = state.ProductWords;
  state.WalkedRecordWords = state.RecordWords;
}

void RecordPath(AnalysisState& state) {
  char number_line[32] = " ****trasa ";
  constexpr int kNumberAt = 11;
  const char* number_end = std::to_chars(number_line + kNumberAt, number_line + sizeof number_line,
                                         state.ProductWords / state.RecordWords + 1)
                               .ptr;
  state.Report.WriteLine(std::string_view(number_line, number_end - number_line));

  // The path line: one blank and the entry for every slot. Consecutive paths share their
  // beginning, so the text of the slots that did not change since the last line is kept.
  char* text = state.PathLineText.data();
  const int reusable = std::min(state.PathLength, state.PathLineSlots);
  int slot = 1;
  while (slot <= reusable && state.PathLineEntry[slot] == state.PathStack[slot]) ++slot;
  int length = slot > 1 ? state.PathLineEnd[slot - 1] : 0;
  for (; slot <= state.PathLength; ++slot) {
    const int entry = state.PathStack[slot];
    const int node = entry < 0 ? -entry : entry;
    // A fixed eight-byte copy: the line's buffer has room beyond its longest text.
    std::memcpy(text + length, state.PathEntryText[node][entry > 0].data(), sizeof(Name));
    length += state.PathEntryLength[node][entry > 0];
    state.PathLineEntry[slot] = entry;
    state.PathLineEnd[slot] = length;
    const int bit = RowOf(state, node).condition - 1;
    state.PathLineWord[slot] = (entry < 0 ? state.HalfWords : 0) + bit / 32;
    state.PathLineBit[slot] = std::uint32_t{1} << (bit % 32);
    const std::uint32_t positive = slot > 1 ? state.PathLinePositive[slot - 1] : 0;
    const std::uint32_t negative = slot > 1 ? state.PathLineNegative[slot - 1] : 0;
    state.PathLinePositive[slot] = entry > 0 ? positive | state.PathLineBit[slot] : positive;
    state.PathLineNegative[slot] = entry < 0 ? negative | state.PathLineBit[slot] : negative;
  }
  state.PathLineSlots = state.PathLength;
  state.Report.WriteLine(std::string_view(text, length));

  if (state.ProductWords + state.RecordWords > kProductStoreWords) {
    state.FormalError = kErrStoreFull;
    return;
  }
  // The literals of the slots, as noted beside the path line.
  std::uint32_t* positive = state.Products.data() + state.ProductWords;
  std::uint32_t* negative = positive + state.HalfWords;
  const int path_length = state.PathLength;
  if (state.HalfWords == 1) {
    positive[0] = path_length > 0 ? state.PathLinePositive[path_length] : 0;
    negative[0] = path_length > 0 ? state.PathLineNegative[path_length] : 0;
  } else {
    std::fill(positive, positive + state.RecordWords, 0u);
    for (int slot = 1; slot <= path_length; ++slot) {
      positive[state.PathLineWord[slot]] |= state.PathLineBit[slot];
    }
  }
  for (int word = 0; word < state.HalfWords; ++word) {
    if ((positive[word] & negative[word]) != 0) return;  // contradictory: dropped
  }
  state.ProductWords += state.RecordWords;
}

}  // namespace ramivo
