#include "products/product_listing.h"

#include <string>

namespace ramivo {

namespace {

constexpr std::size_t kWrapAfter = 60;
constexpr const char* kContinuation = "      ";

// Appends the literals of one half-word pair: positive conditions, then negative ones,
// each in ascending code. `first_code` is the condition of bit 0.
void AppendLiterals(AnalysisState& state, std::uint32_t bits, int first_code, const char* sign) {
  std::string& line = state.LineBuffer;
  while (bits != 0) {
    int bit = __builtin_ctz(bits);
    bits &= bits - 1;
    line += sign;
    line += TrimmedName(state.ConditionDisplayNames[first_code + bit]);
    if (line.size() > kWrapAfter) {
      state.Report.WriteLine(line);
      line = kContinuation;
    }
  }
}

}  // namespace

void WriteProducts(AnalysisState& state) {
  const int products = state.ProductWords / state.RecordWords;
  std::string& line = state.LineBuffer;
  for (int r = 1; r <= products; ++r) {
    const std::uint32_t* record = state.Products.data() + (r - 1) * state.RecordWords;
    line = " #";
    line += std::to_string(r);
    line += ": ";
    for (int word = 0; word < state.HalfWords; ++word) {
      AppendLiterals(state, record[word], word * 32 + 1, "  ");
      AppendLiterals(state, record[state.HalfWords + word], word * 32 + 1, " -");
    }
    state.Report.WriteLine(line);
  }
}

}  // namespace ramivo
