// Rejects a diagram whose nodes reachable from the start node form a cycle: the path walk
// would never end on it. Depth-first from StartNode, no-branch first, each node expanded
// once; the first branch back into the current walk path sets StructureError 4 and writes
// "uzel lezi na cyklu: " with that node's name.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

// True when no cycle is reachable.
bool CheckCycles(AnalysisState& state);

}  // namespace ramivo
