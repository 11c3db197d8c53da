#include "search/cycle_check.h"

#include <string>

#include "search/definition_row.h"

namespace ramivo {

namespace {

// NodeMark values during the walk.
enum : std::uint8_t {
  kUnseen = 0,
  kNoBranchNext,   // on the walk path, no-branch not yet followed
  kYesBranchNext,  // on the walk path, yes-branch not yet followed
  kBothFollowed,   // on the walk path, both branches followed
  kFinished,       // left the walk path
};

}  // namespace

bool CheckCycles(AnalysisState& state) {
  state.NodeMark.fill(kUnseen);
  state.PostOrderLength = 0;
  state.PathLength = 1;
  state.PathStack[1] = state.StartNode;
  state.NodeMark[state.StartNode] = kNoBranchNext;
  while (state.PathLength > 0) {
    int node = state.PathStack[state.PathLength];
    std::uint8_t& mark = state.NodeMark[node];
    int next;
    if (mark == kNoBranchNext) {
      mark = kYesBranchNext;
      next = RowOf(state, node).no_output;
    } else if (mark == kYesBranchNext) {
      mark = kBothFollowed;
      next = RowOf(state, node).yes_output;
    } else {
      mark = kFinished;
      state.PostOrder[state.PostOrderLength++] = node;
      --state.PathLength;
      continue;
    }
    if (next < kFirstUserNode || state.NodeMark[next] == kFinished) continue;
    if (state.NodeMark[next] != kUnseen) {
      state.StructureError = kErrCycle;
      std::string& line = state.LineBuffer;
      line = "uzel lezi na cyklu: ";
      line += WithoutTrailingBlanks(state.NodeDisplayNames[next]);
      state.Report.WriteLine(line);
      state.PathLength = 0;
      return false;
    }
    state.NodeMark[next] = kNoBranchNext;
    state.PathStack[++state.PathLength] = next;
  }
  return true;
}

}  // namespace ramivo
