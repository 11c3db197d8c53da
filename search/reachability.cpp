#include "search/reachability.h"

#include <string>

#include "search/definition_row.h"

namespace ramivo {

namespace {

void ChooseStartNode(AnalysisState& state) {
  if (state.StartNode != 0) return;
  // The first user node, in order of appearance, that no definition names as an output.
  for (int code = kFirstUserNode; code <= state.NodeNameLast; ++code) {
    if (state.ReferenceCount[code] == 0) {
      state.StartNode = code;
      return;
    }
  }
}

// Counts every entry into a node in VisitCount and expands each node once. On the stack, -c
// is node c about to be entered and +c node c whose no-branch is being walked; a node's
// yes-successor takes its slot, so the stack grows only along no-branches.
void WalkReachable(AnalysisState& state) {
  state.PathLength = 1;
  state.PathStack[1] = -state.StartNode;
  while (state.PathLength > 0) {
    int& top = state.PathStack[state.PathLength];
    if (top < 0) {
      int node = -top;
      top = node;
      int visits = ++state.VisitCount[node];
      int next = RowOf(state, node).no_output;
      if (next >= kFirstUserNode && visits == 1) {
        state.PathStack[++state.PathLength] = -next;
      } else if (visits > 1) {
        --state.PathLength;
      }
    } else {
      int next = RowOf(state, top).yes_output;
      if (next >= kFirstUserNode) {
        top = -next;
      } else {
        --state.PathLength;
      }
    }
  }
}

int FoldTerminal(int code) {
  if (code >= 1 && code <= 4) return kAno;
  if (code >= 5 && code <= 8) return kNe;
  return code;
}

}  // namespace

bool PrepareSearch(AnalysisState& state) {
  ChooseStartNode(state);
  std::string& line = state.LineBuffer;
  line = " Prohledavani BDD zacne uzlem: ";
  if (state.StartNode != 0) {
    line.append(state.NodeDisplayNames[state.StartNode].data(), sizeof(Name));
  }
  state.Report.WriteLine(line);

  state.VisitCount.fill(0);
  if (state.StartNode == 0) {
    state.FormalError = kErrNoStartNode;
    state.Report.WriteLine("chyba: nenalezen vrcholovy uzel");
  } else {
    WalkReachable(state);
  }

  state.SearchYes = state.EndKind == 0 || (state.EndKind >= 1 && state.EndKind <= 4);
  state.Report.WriteLine(state.SearchYes ? " hledaji se konce typu ANO"
                                         : " hledaji se konce typu NE");
  const int sought = state.SearchYes ? kAno : kNe;

  for (int row = 0; row <= state.DefinitionLast; ++row) {
    DefinitionRow& definition = state.Definitions[row];
    definition.no_output = FoldTerminal(definition.no_output);
    definition.yes_output = FoldTerminal(definition.yes_output);
  }

  state.Report.WriteLine("Pouzite uzly: kod, jmeno ");
  int distinct_conditions = 0;
  int nodes_leading_to_end = 0;
  for (int code = kFirstUserNode; code <= state.NodeNameLast; ++code) {
    if (state.VisitCount[code] == 0) continue;
    line = std::to_string(code);
    line += " =  ";
    line.append(state.NodeDisplayNames[code].data(), sizeof(Name));
    state.Report.WriteLine(line);
    const DefinitionRow& definition = RowOf(state, code);
    if (state.ConditionUseCount[definition.condition]++ == 0) ++distinct_conditions;
    if (definition.no_output == sought || definition.yes_output == sought) ++nodes_leading_to_end;
  }

  if (distinct_conditions == 0 || nodes_leading_to_end == 0) {
    state.FormalError = kErrNoPathToEnd;
    return false;
  }
  return true;
}

}  // namespace ramivo
