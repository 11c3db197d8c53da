#include "reference/plain_search.h"

#include <string>

#include "search/cycle_check.h"
#include "search/reachability.h"

namespace ramivo::reference {

namespace {

const DefinitionRow& Row(const AnalysisState& state, int node) {
  return state.Definitions[state.DefinitionIndex[node]];
}

}  // namespace

void PlainSearchPaths(AnalysisState& state) {
  if (!PrepareSearch(state)) return;
  if (!CheckCycles(state)) return;
  PlainEnumeratePaths(state);
}

void PlainEnumeratePaths(AnalysisState& state) {
  // Record layout for the conditions read.
  state.HalfWords = (state.ConditionNameLast - 1) / 32 + 1;
  state.RecordWords = 2 * state.HalfWords;
  state.ProductWords = 0;
  const int sought = state.SearchYes ? kAno : kNe;
  // The walk starts at the start node, leaving it by its no-branch.
  state.PathLength = 1;
  state.PathStack[1] = -state.StartNode;
  while (state.PathLength > 0 && state.FormalError == 0) {
    const int x = state.PathStack[state.PathLength];
    const int c = x < 0 ? -x : x;
    const int t = x < 0 ? Row(state, c).no_output : Row(state, c).yes_output;
    if (t >= kFirstUserNode) {  // into a node: go on with its no-branch
      state.PathStack[++state.PathLength] = -t;
      continue;
    }
    // A terminal: a path ends here.
    if (t == sought) PlainRecordPath(state);
    if (x < 0) {  // the yes-branch of the same node is next
      state.PathStack[state.PathLength] = c;
      continue;
    }
    // Both branches done: back to the nearest node whose yes-branch is still to come.
    --state.PathLength;
    while (state.PathLength > 0 && state.PathStack[state.PathLength] > 0) --state.PathLength;
    if (state.PathLength > 0) {
      state.PathStack[state.PathLength] = -state.PathStack[state.PathLength];
    }
  }
}

void PlainRecordPath(AnalysisState& state) {
  // Its number and the path line.
  state.Report.WriteLine(" ****trasa " +
                         std::to_string(state.ProductWords / state.RecordWords + 1));
  std::string line;
  for (int slot = 1; slot <= state.PathLength; ++slot) {
    line += " " + std::to_string(state.PathStack[slot]);
  }
  state.Report.WriteLine(line);
  if (state.ProductWords + state.RecordWords > kProductStoreWords) {
    state.FormalError = kErrStoreFull;
    return;
  }
  // The product: a literal per slot, set in a cleared record.
  const int base = state.ProductWords;
  for (int w = 0; w < state.RecordWords; ++w) state.Products[base + w] = 0;
  for (int slot = 1; slot <= state.PathLength; ++slot) {
    const int entry = state.PathStack[slot];
    const int k = Row(state, entry < 0 ? -entry : entry).condition;
    const int word = (k - 1) / 32 + (entry < 0 ? state.HalfWords : 0);
    state.Products[base + word] |= std::uint32_t{1} << ((k - 1) % 32);
  }
  // A condition both true and false on the path: the product is dropped.
  bool contradictory = false;
  for (int j = 0; j < state.HalfWords; ++j) {
    if ((state.Products[base + j] & state.Products[base + state.HalfWords + j]) != 0) {
      contradictory = true;
    }
  }
  if (!contradictory) state.ProductWords += state.RecordWords;
}

}  // namespace ramivo::reference
