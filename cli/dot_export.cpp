#include "cli/dot_export.h"

#include <array>
#include <cassert>
#include <vector>

#include "core/text_file.h"

namespace ramivo {

namespace {

// The four ends a branch can take; the search folds the eight terminal words into the two
// kinds, and the picture shows them folded as well.
enum End { kEndYes, kEndNo, kEndNic, kEndEndBdd, kEndCount };

constexpr std::array<const char*, kEndCount> kEndIds = {"ano", "ne", "nic", "endbdd"};
constexpr std::array<const char*, kEndCount> kEndLabels = {"ANO", "NE", "NIC", "ENDBDD"};

End EndOfTerminal(int code) {
  if (code >= 1 && code <= 4) return kEndYes;
  if (code >= 5 && code <= 8) return kEndNo;
  return code == kNic ? kEndNic : kEndEndBdd;
}

std::string NodeId(int code) {
  return "n" + std::to_string(code);
}

std::string TargetId(int code) {
  return code >= kFirstUserNode ? NodeId(code) : kEndIds[EndOfTerminal(code)];
}

// Per node code: some path from the node ends in the sought kind. Computed backwards from
// the nodes with a sought end as an output, so it holds for cycles and for nodes that
// cannot be reached alike.
std::vector<bool> NodesLeadingToSoughtEnd(const AnalysisState& state) {
  const End sought = state.SearchYes ? kEndYes : kEndNo;
  std::vector<bool> leads(state.NodeNameLast + 1, false);
  std::vector<std::vector<int>> predecessors(state.NodeNameLast + 1);
  std::vector<int> pending;
  for (int row = 0; row <= state.DefinitionLast; ++row) {
    const DefinitionRow& definition = state.Definitions[row];
    for (int next : {definition.no_output, definition.yes_output}) {
      if (next >= kFirstUserNode) {
        predecessors[next].push_back(definition.node);
      } else if (EndOfTerminal(next) == sought && !leads[definition.node]) {
        leads[definition.node] = true;
        pending.push_back(definition.node);
      }
    }
  }
  while (!pending.empty()) {
    int node = pending.back();
    pending.pop_back();
    for (int predecessor : predecessors[node]) {
      if (leads[predecessor]) continue;
      leads[predecessor] = true;
      pending.push_back(predecessor);
    }
  }
  return leads;
}

}  // namespace

std::string DiagramDot(const AnalysisState& state) {
  assert(state.MayCompute && "a diagram is drawn only after a search");
  const End sought = state.SearchYes ? kEndYes : kEndNo;
  const std::vector<bool> leads = NodesLeadingToSoughtEnd(state);
  auto reachable = [&state](int node) { return state.VisitCount[node] > 0; };

  std::string text =
      "// Dashed: no-branch (condition false); solid: yes-branch (condition true).\n"
      "// Grey: cannot be reached from the start node; dotted: reaches no sought end.\n"
      "digraph bdd {\n";
  std::array<bool, kEndCount> end_used{};
  for (int node = kFirstUserNode; node <= state.NodeNameLast; ++node) {
    if (state.DefinitionIndex[node] < 0) continue;
    const DefinitionRow& row = state.Definitions[state.DefinitionIndex[node]];
    text += "  " + NodeId(node) + " [label=\"";
    text += WithoutTrailingBlanks(state.NodeDisplayNames[node]);
    text += "\\n";
    text += TrimmedName(state.ConditionDisplayNames[row.condition]);
    text += '"';
    if (!reachable(node)) text += ", color=grey, fontcolor=grey";
    if (!leads[node]) text += ", style=dotted";
    text += "];\n";
    for (int next : {row.no_output, row.yes_output}) {
      if (next < kFirstUserNode) end_used[EndOfTerminal(next)] = true;
    }
  }
  for (int end = 0; end < kEndCount; ++end) {
    if (!end_used[end]) continue;
    text += "  ";
    text += kEndIds[end];
    text += " [shape=box, label=\"";
    text += kEndLabels[end];
    text += '"';
    if (end == sought) text += ", peripheries=2";
    if (end == kEndNic || end == kEndEndBdd) text += ", style=rounded";
    text += "];\n";
  }
  // The ends share the bottom row, as in the usual drawings of decision diagrams.
  std::string bottom_row;
  for (int end = 0; end < kEndCount; ++end) {
    if (!end_used[end]) continue;
    bottom_row += ' ';
    bottom_row += kEndIds[end];
    bottom_row += ';';
  }
  if (!bottom_row.empty()) text += "  { rank=sink;" + bottom_row + " }\n";
  if (state.StartNode >= kFirstUserNode) {
    text += "  start [shape=point];\n  start -> " + NodeId(state.StartNode) + ";\n";
  }
  for (int node = kFirstUserNode; node <= state.NodeNameLast; ++node) {
    if (state.DefinitionIndex[node] < 0) continue;
    const DefinitionRow& row = state.Definitions[state.DefinitionIndex[node]];
    const char* colour = reachable(node) ? "" : ", color=grey";
    text +=
        "  " + NodeId(node) + " -> " + TargetId(row.no_output) + " [style=dashed" + colour + "];\n";
    text += "  " + NodeId(node) + " -> " + TargetId(row.yes_output);
    text += reachable(node) ? ";\n" : " [color=grey];\n";
  }
  text += "}\n";
  return text;
}

void WriteDiagramDot(const AnalysisState& state, const std::string& path) {
  WriteWholeFile(path, DiagramDot(state));
}

}  // namespace ramivo
