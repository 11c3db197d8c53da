// SearchPaths: fixes the start node and the sought kind of end, lists the reachable nodes,
// rejects cycles, then enumerates every path to the sought end into the product store.
// Leaves FormalError 202 (nothing to find), 200 (store full) or StructureError 4 (cycle).
#pragma once

#include <functional>

#include "core/analysis_state.h"

namespace ramivo {

// Called once the cycle check has passed, right before the paths are walked.
using BeforeEnumerationHook = std::function<void(const AnalysisState&)>;

void SearchPaths(AnalysisState& state, const BeforeEnumerationHook& before_enumeration = {});

}  // namespace ramivo
