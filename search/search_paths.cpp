#include "search/search_paths.h"

#include "search/cycle_check.h"
#include "search/path_enumeration.h"
#include "search/reachability.h"

namespace ramivo {

void SearchPaths(AnalysisState& state) {
  if (!PrepareSearch(state)) return;
  if (!CheckCycles(state)) return;
  EnumeratePaths(state);
}

}  // namespace ramivo
