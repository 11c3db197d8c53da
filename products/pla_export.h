// The products of the store as a PLA file that logic minimisers read: one input per
// condition (named by its display name, in code order), one output named after the sought
// end, one cube per product with 1 (must be true), 0 (must be false) or - (not tested).
#pragma once

#include <string>

#include "core/analysis_state.h"

namespace ramivo {

// The PLA text of the products now in the store, LF line ends.
std::string ProductsPla(const AnalysisState& state);

// Writes ProductsPla to `path`; throws IoError when the file cannot be written.
void WriteProductsPla(const AnalysisState& state, const std::string& path);

}  // namespace ramivo
