// ParseLine: one line of a description, held in state.Line, becomes a definition row or the
// end line; every finding sets an error register and writes its report line.
//
// A line is names separated by anything that is not an ASCII letter or digit. A node line
// holds four: node, condition, output for NE, output for ANO (names after the fourth are
// ignored). The end line starts with ENDBDD and may name the sought terminal kind and then
// the start node. Names have at most eight characters and are compared without letter case.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

void ParseLine(AnalysisState& state);

// After the last line: every user node that is named as an output or as the start node but
// has no definition line of its own raises 109 with one report line per node.
void CheckUndefinedNodes(AnalysisState& state);

}  // namespace ramivo
