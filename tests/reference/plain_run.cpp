#include "reference/plain_run.h"

#include <memory>

#include "reader/line_parser.h"
#include "reference/plain_listing.h"
#include "reference/plain_reduction.h"
#include "reference/plain_search.h"

namespace ramivo::reference {

std::string PlainRunReport(AnalysisState& state, const std::string& input) {
  std::string report;
  ResetState(state);
  state.Input.Open(input);
  state.Report.Attach(CreateStringSink(report));
  state.Report.WriteLine("Kontrolni vypis zadani BDD s ocislovanymi radky");
  state.Report.WriteLine("vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :");
  while (state.Input.ReadLine(state.Line)) {
    if (state.Line.empty()) continue;
    ++state.LineCount;
    state.Report.WriteLine(" " + std::to_string(state.LineCount) + ": " + state.Line);
    ParseLine(state);
  }
  CheckUndefinedNodes(state);
  if (state.LineCount == 0) state.FormalError = kErrEmptyInput;
  if (state.FormalError == 0 && state.SizeError == 0 && state.StructureError == 0) {
    PlainSearchPaths(state);
    if (state.FormalError == 0 && state.StructureError == 0) {
      state.Report.WriteLine("Kontrolni vypis - nalezene souciny:");
      PlainWriteProducts(state);
      PlainReduceProducts(state);
      state.Report.WriteLine("Vysledek - neredundantni souciny, uvedene vzestupne:");
      PlainWriteProducts(state);
    }
  }
  state.Input.Close();
  state.Report.Close();
  return report;
}

}  // namespace ramivo::reference
