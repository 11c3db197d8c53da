#include "search/search_paths.h"

#include "search/cycle_check.h"
#include "search/path_enumeration.h"
#include "search/reachability.h"

namespace ramivo {

void SearchPaths(AnalysisState& state, const BeforeEnumerationHook& before_enumeration) {
  if (!PrepareSearch(state)) return;
  if (!CheckCycles(state)) return;
  if (before_enumeration) before_enumeration(state);
  EnumeratePaths(state);
}

}  // namespace ramivo
