// The definition row of a node that a walk enters. Reading checks that every node named as
// an output or as the start node has a definition line, so a reachable node always has one.
#pragma once

#include <cassert>

#include "core/analysis_state.h"

namespace ramivo {

inline const DefinitionRow& RowOf(const AnalysisState& state, int node) {
  assert(node >= kFirstUserNode && state.DefinitionIndex[node] >= 0 &&
         "a reachable node without a definition row");
  return state.Definitions[state.DefinitionIndex[node]];
}

}  // namespace ramivo
