// The diagram as the user drew it, in Graphviz's DOT language: one node per definition
// (display name over condition), no-branch dashed, yes-branch solid, the ends as boxes,
// the start node marked by an arrow. For a state whose description was read without errors
// and searched (MayCompute): grey nodes cannot be reached, dotted ones reach no sought end.
#pragma once

#include <string>

#include "core/analysis_state.h"

namespace ramivo {

// The DOT text, LF line ends; nodes and edges in node-code order.
std::string DiagramDot(const AnalysisState& state);

// Writes DiagramDot to `path`; throws IoError when the file cannot be written.
void WriteDiagramDot(const AnalysisState& state, const std::string& path);

}  // namespace ramivo
