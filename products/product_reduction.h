// ReduceProducts: orders the stored products by ascending number of literals (stable) and
// drops every product that holds all the literals of one placed before it.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

void ReduceProducts(AnalysisState& state);

}  // namespace ramivo
