#include "search/path_enumeration.h"

#include <algorithm>
#include <charconv>

#include "search/definition_row.h"

namespace ramivo {

namespace {

int SoughtTerminal(const AnalysisState& state) {
  return state.SearchYes ? kAno : kNe;
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
}

void AppendNumber(std::string& line, int value) {
  char digits[16];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  line.append(digits, result.ptr);
}

}  // namespace

void EnumeratePaths(AnalysisState& state) {
  state.HalfWords = (state.ConditionNameLast - 1) / 32 + 1;
  state.RecordWords = 2 * state.HalfWords;
  state.ProductWords = 0;
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
    const DefinitionRow& row = RowOf(state, node);
    int next = top < 0 ? row.no_output : row.yes_output;
    if (next >= kFirstUserNode && state.LeadsToEnd[next]) {
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
}

void RecordPath(AnalysisState& state) {
  std::string& line = state.LineBuffer;
  line = " ****trasa ";
  AppendNumber(line, state.ProductWords / state.RecordWords + 1);
  state.Report.WriteLine(line);
  line.clear();
  for (int slot = 1; slot <= state.PathLength; ++slot) {
    line += ' ';
    AppendNumber(line, state.PathStack[slot]);
  }
  state.Report.WriteLine(line);

  if (state.ProductWords + state.RecordWords > kProductStoreWords) {
    state.FormalError = kErrStoreFull;
    return;
  }
  std::uint32_t* positive = state.Products.data() + state.ProductWords;
  std::uint32_t* negative = positive + state.HalfWords;
  std::fill(positive, positive + state.RecordWords, 0u);
  for (int slot = 1; slot <= state.PathLength; ++slot) {
    int entry = state.PathStack[slot];
    int bit = RowOf(state, entry < 0 ? -entry : entry).condition - 1;
    std::uint32_t* half = entry < 0 ? negative : positive;
    half[bit / 32] |= std::uint32_t{1} << (bit % 32);
  }
  for (int word = 0; word < state.HalfWords; ++word) {
    if ((positive[word] & negative[word]) != 0) return;  // contradictory: dropped
  }
  state.ProductWords += state.RecordWords;
}

}  // namespace ramivo
