// The product reduction as first designed: counting passes (one pass over
// the products for every literal count), then the pair loop over all sorted positions i < j
// that marks j when every literal of i is in j. Kept as the reference that the fast
// ReduceProducts is compared with (tests/exactness_test.cpp, bench/).
#pragma once

#include "core/analysis_state.h"

namespace ramivo::reference {

void PlainReduceProducts(AnalysisState& state);

}  // namespace ramivo::reference
