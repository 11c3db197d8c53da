// First half of the search: start node, reachability walk, sought end, folding of the
// terminal codes and the listing of the reachable nodes. False when the search must stop.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

bool PrepareSearch(AnalysisState& state);

}  // namespace ramivo
