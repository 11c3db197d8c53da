#include "products/pla_export.h"

#include "core/text_file.h"

namespace ramivo {

std::string ProductsPla(const AnalysisState& state) {
  const int inputs = state.ConditionNameLast;
  const int products = state.ProductWords / state.RecordWords;
  std::string text = ".i " + std::to_string(inputs) + "\n.o 1\n.ilb";
  for (int condition = 1; condition <= inputs; ++condition) {
    text += ' ';
    text += TrimmedName(state.ConditionDisplayNames[condition]);
  }
  text += state.SearchYes ? "\n.ob ANO\n" : "\n.ob NE\n";
  text += ".p " + std::to_string(products) + "\n";
  for (int product = 0; product < products; ++product) {
    const std::uint32_t* positive = state.Products.data() + product * state.RecordWords;
    const std::uint32_t* negative = positive + state.HalfWords;
    for (int condition = 1; condition <= inputs; ++condition) {
      const int word = (condition - 1) / 32;
      const std::uint32_t bit = std::uint32_t{1} << ((condition - 1) % 32);
      text += (positive[word] & bit) != 0 ? '1' : (negative[word] & bit) != 0 ? '0' : '-';
    }
    text += " 1\n";
  }
  text += ".e\n";
  return text;
}

void WriteProductsPla(const AnalysisState& state, const std::string& path) {
  WriteWholeFile(path, ProductsPla(state));
}

}  // namespace ramivo
