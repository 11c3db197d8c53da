#include "core/analysis_state.h"

#include <algorithm>

#include "reader/name_tables.h"

namespace ramivo {

Name PadName(std::string_view text) {
  Name name;
  name.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), name.size()), name.begin());
  return name;
}

Name ToKey(const Name& name) {
  Name key = name;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

std::string_view TrimmedName(const Name& name) {
  std::size_t first = 0;
  std::size_t last = name.size();
  while (first < last && static_cast<unsigned char>(name[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(name[last - 1]) <= 32) --last;
  return std::string_view(name.data() + first, last - first);
}

std::string_view WithoutTrailingBlanks(const Name& name) {
  std::string_view text(name.data(), name.size());
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

void ResetState(AnalysisState& state) {
  ResetNameTables(state);
  state.LineCount = 0;
  state.MayCompute = false;
  state.FormalError = 0;
  state.StructureError = 0;
  state.SizeError = 0;
  state.DefinitionLast = -1;
  state.PathLength = 0;
  state.StartNode = 0;
  state.EndKind = 0;
  state.SearchYes = true;
  state.ProductWords = 0;
  state.HalfWords = 1;
  state.RecordWords = 2;
  state.DefinitionIndex.fill(-1);
  state.ReferenceCount.fill(0);
  state.ConditionUseCount.fill(0);
}

}  // namespace ramivo
