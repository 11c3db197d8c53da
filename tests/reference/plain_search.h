// The search with the enumeration as first designed, without pruning: the
// walk follows every path from the start node to its end, dead wood included, and calls the
// plain RecordPath at every branch into the sought terminal. The first half (start node,
// reachability, listing) and the cycle check are the real PrepareSearch and CheckCycles.
// Kept as the reference that the pruned EnumeratePaths is compared with; it writes to
// state.Report like the real search, so a test can attach an in-memory sink there.
#pragma once

#include "core/analysis_state.h"

namespace ramivo::reference {

// PrepareSearch, CheckCycles, then the plain walk.
void PlainSearchPaths(AnalysisState& state);

// Only the plain walk, on a state that PrepareSearch and
// CheckCycles have passed.
void PlainEnumeratePaths(AnalysisState& state);

// RecordPath as first designed, step by step.
void PlainRecordPath(AnalysisState& state);

}  // namespace ramivo::reference
