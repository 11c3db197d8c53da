// RunAnalysis: one whole run, from the choice of the input file to the verdict. It resets the
// state, reads and checks every line, searches, lists and reduces the products and shows the
// verdict through the platform. Failures of the environment leave it as IoError, with both
// files closed and the lines written so far in the report.
#pragma once

#include <string>

#include "core/analysis_state.h"
#include "core/platform.h"

namespace ramivo {

inline constexpr const char* kProgramName = "ramivo";

// The verdict texts (UTF-8), each "first line\r\nsecond line".
inline constexpr const char* kMsgSuccess = "Výpočet úspěšně ukončen";
inline constexpr const char* kMsgEmptyInput = "Vstupni soubor je prázdný.\r\nVýpočet končí.";
inline constexpr const char* kMsgFormal = "Formalní chyby v zadání BDD.\r\nVýpočet končí.";
inline constexpr const char* kMsgSize = "Příliš velký BDD.\r\nVýpočet končí.";
inline constexpr const char* kMsgStructure =
    "Struktura BDD neumožňuje provést zadání.\r\nVýpočet končí.";
inline constexpr const char* kMsgNoPath = "Žádná cesta nevede k hledanému konci.\r\nVýpočet končí.";
inline constexpr const char* kMsgTooManyProducts = "Příliš mnoho součinů.\r\nVýpočet končí.";

// The reading phase of a run on the open files: every non-empty line counted, echoed and
// parsed; then the check for undefined nodes and the register of an empty input.
void ReadDescription(AnalysisState& state);

// `caption_base` is the window's own name; the caption becomes it, " - " and the input path.
void RunAnalysis(AnalysisState& state, Platform& platform,
                 const std::string& caption_base = kProgramName);

}  // namespace ramivo
