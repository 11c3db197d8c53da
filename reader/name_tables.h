// Node and condition names to codes. A key (eight bytes, padded and upper-cased by the
// caller) gets its code the first time it is looked up; the reserved node words hold codes
// 0 to 9. A full table sets the size register, writes its report line and gives -1.
#pragma once

#include "core/analysis_state.h"

namespace ramivo {

// Enters the reserved words and empties the indexes; part of every run's reset.
void ResetNameTables(AnalysisState& state);

int LookupNode(AnalysisState& state, const Name& key);
int LookupCondition(AnalysisState& state, const Name& key);

}  // namespace ramivo
