#include "products/product_listing.h"

#include <charconv>
#include <cstring>
#include <string_view>

namespace ramivo {

namespace {

constexpr int kWrapAfter = 60;
constexpr int kContinuation = 6;  // a continuation line starts with six blanks

// The line being assembled is at most 60 characters long before a literal (three to ten
// characters) is added, so 96 bytes hold it with room for the fixed eight-byte copy of a name.
constexpr int kLineBytes = 96;

// Appends the literals of one half-word to the line of `length` characters in `text`: each
// condition's name behind `sign` ("  " or " -"), in ascending code; `first_code` is the
// condition of bit 0. A line longer than 60 characters is written and continued with six
// blanks. Returns the new length (kept in a register: the bytes written never alias it).
int AppendLiterals(AnalysisState& state, char* text, int length, std::uint32_t bits, int first_code,
                   const char* sign) {
  const Name* names = state.ListingNames.data();
  const std::uint8_t* lengths = state.ListingNameLength.data();
  while (bits != 0) {
    const int code = first_code + __builtin_ctz(bits);
    bits &= bits - 1;
    char* at = text + length;
    at[0] = sign[0];
    at[1] = sign[1];
    std::memcpy(at + 2, names[code].data(), sizeof(Name));
    length += 2 + lengths[code];
    if (length > kWrapAfter) {
      state.Report.WriteLine(std::string_view(text, static_cast<std::size_t>(length)));
      std::memset(text, ' ', kContinuation);
      length = kContinuation;
    }
  }
  return length;
}

}  // namespace

void WriteProducts(AnalysisState& state) {
  // Each name as listed: the display name without characters of code 32 or less at either
  // end, moved to the front of its eight bytes.
  for (int code = 1; code <= state.ConditionNameLast; ++code) {
    std::string_view name = TrimmedName(state.ConditionDisplayNames[code]);
    Name& listed = state.ListingNames[code];
    listed.fill(' ');
    std::memcpy(listed.data(), name.data(), name.size());
    state.ListingNameLength[code] = static_cast<std::uint8_t>(name.size());
  }

  const int products = state.ProductWords / state.RecordWords;
  char text[kLineBytes];
  for (int r = 1; r <= products; ++r) {
    const std::uint32_t* record = state.Products.data() + (r - 1) * state.RecordWords;
    text[0] = ' ';
    text[1] = '#';
    int length = static_cast<int>(std::to_chars(text + 2, text + kLineBytes, r).ptr - text);
    text[length++] = ':';
    text[length++] = ' ';
    for (int word = 0; word < state.HalfWords; ++word) {
      length = AppendLiterals(state, text, length, record[word], word * 32 + 1, "  ");
      length =
          AppendLiterals(state, text, length, record[state.HalfWords + word], word * 32 + 1, " -");
    }
    state.Report.WriteLine(std::string_view(text, static_cast<std::size_t>(length)));
  }
}

}  // namespace ramivo
