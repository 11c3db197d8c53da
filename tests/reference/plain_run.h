// A whole run with the plain walk, listing and reduction in place of the optimised ones: the
// run driver's steps written out over the real reader. Its report is what RunAnalysis must
// write byte for byte; the exactness tests and the fuzzer compare the two.
#pragma once

#include <string>

#include "core/analysis_state.h"

namespace ramivo::reference {

// The report of the plain run on the description in `input`, kept in memory.
std::string PlainRunReport(AnalysisState& state, const std::string& input);

}  // namespace ramivo::reference
