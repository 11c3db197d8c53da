// Second half of the search: walks every path from the start node, no-branch first, and
// turns every path that ends in the sought terminal into a product record (RecordPath).
// Branches into nodes from which the sought end cannot be reached are not entered: they
// would add nothing to the report or the store.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

void EnumeratePaths(AnalysisState& state);

// Traces the path in PathStack[1..PathLength] and stores its product; drops a contradictory
// one; sets FormalError 200 when the store is full. What it notes about the slots of one path
// for the next (PathLine*) is reused only within one walk: EnumeratePaths clears it.
void RecordPath(AnalysisState& state);

}  // namespace ramivo
