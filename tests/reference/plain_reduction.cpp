#include "reference/plain_reduction.h"

#include <algorithm>
#include <bit>

namespace ramivo::reference {

void PlainReduceProducts(AnalysisState& state) {
  const int words = state.RecordWords;
  const int n = state.ProductWords / words;
  if (n <= 1) return;

  // Count: Aux[i] := literal count of product i in store order.
  int smallest = kConditionCodeLast;
  int largest = 0;
  for (int i = 0; i < n; ++i) {
    int count = 0;
    for (int w = 0; w < words; ++w) count += std::popcount(state.Products[i * words + w]);
    state.Aux[i] = count;
    smallest = std::min(smallest, count);
    largest = std::max(largest, count);
  }
  smallest = std::max(smallest, 1);

  // Sort: one pass over the products for every count from smallest to largest.
  state.SortBufferFill = 0;
  for (int count = smallest; count <= largest; ++count) {
    for (int i = 0; i < n; ++i) {
      if (state.Aux[i] != count) continue;
      std::copy_n(state.Products.data() + i * words, words,
                  state.SortBuffer.data() + state.SortBufferFill);
      state.SortBufferFill += words;
    }
  }

  // Clear the marks. Absorb: every pair i < j, j skipped once marked, the test
  // stopping at the first word where (i OR j) differs from j.
  std::fill_n(state.Aux.begin(), n, 0);
  const std::uint32_t* sorted = state.SortBuffer.data();
  for (int i = 0; i < n - 1; ++i) {
    const std::uint32_t* a = sorted + i * words;
    for (int j = i + 1; j < n; ++j) {
      if (state.Aux[j] != 0) continue;
      const std::uint32_t* b = sorted + j * words;
      int w = 0;
      while (w < words && (a[w] | b[w]) == b[w]) ++w;
      if (w == words) state.Aux[j] = 1;
    }
  }

  // Copy back the unmarked records in sorted order.
  state.ProductWords = 0;
  for (int i = 0; i < n; ++i) {
    if (state.Aux[i] != 0) continue;
    std::copy_n(sorted + i * words, words, state.Products.data() + state.ProductWords);
    state.ProductWords += words;
  }
}

}  // namespace ramivo::reference
