// WriteProducts: one numbered report line per stored product (continued on further lines
// once longer than 60 characters): the names of its conditions, a minus before those that
// must be false.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

void WriteProducts(AnalysisState& state);

}  // namespace ramivo
