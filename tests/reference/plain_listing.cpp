#include "reference/plain_listing.h"

#include <string>

namespace ramivo::reference {

void PlainWriteProducts(AnalysisState& state) {
  const int n = state.ProductWords / state.RecordWords;
  for (int r = 1; r <= n; ++r) {
    // Decode the literal list into SortBuffer (as signed condition codes).
    const int base = (r - 1) * state.RecordWords;
    state.SortBufferFill = 0;
    auto append = [&](int literal) {
      state.SortBuffer[state.SortBufferFill++] = static_cast<std::uint32_t>(literal);
    };
    for (int s = 1; s <= state.HalfWords; ++s) {
      std::uint32_t p = state.Products[base + s - 1];
      std::uint32_t q = state.Products[base + state.HalfWords + s - 1];
      for (int b = 0; b < 32 && p != 0; ++b) {
        const std::uint32_t mask = std::uint32_t{1} << b;
        if (p & mask) {
          append((s - 1) * 32 + b + 1);
          p &= ~mask;
        }
      }
      for (int b = 0; b < 32 && q != 0; ++b) {
        const std::uint32_t mask = std::uint32_t{1} << b;
        if (q & mask) {
          append(-((s - 1) * 32 + b + 1));
          q &= ~mask;
        }
      }
    }
    // The line: number, then each literal; a line longer than 60 characters is continued.
    std::string line = " #" + std::to_string(r) + ": ";
    for (int k = 0; k < state.SortBufferFill; ++k) {
      const int v = static_cast<int>(state.SortBuffer[k]);
      const Name& padded = state.ConditionDisplayNames[v > 0 ? v : -v];
      std::string name(padded.begin(), padded.end());
      while (!name.empty() && static_cast<unsigned char>(name.front()) <= 32) name.erase(0, 1);
      while (!name.empty() && static_cast<unsigned char>(name.back()) <= 32) name.pop_back();
      line += (v > 0 ? "  " : " -") + name;
      if (line.size() > 60) {
        state.Report.WriteLine(line);
        line = "      ";
      }
    }
    state.Report.WriteLine(line);
  }
}

}  // namespace ramivo::reference
