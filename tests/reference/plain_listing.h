// The product listing as first designed: the literal list of each product built
// into SortBuffer (positive literals of a group of 32 conditions, then its negative ones), the
// line assembled as a string, written once longer than 60 characters and continued with six
// blanks. Kept as the reference that the fast WriteProducts is compared with.
#pragma once

#include "core/analysis_state.h"

namespace ramivo::reference {

void PlainWriteProducts(AnalysisState& state);

}  // namespace ramivo::reference
