#include "products/product_reduction.h"

#include <algorithm>
#include <bit>

// The result is that of the plain algorithm (counting passes, then every pair of
// sorted positions i < j, marking j when all literals of i are in j), computed faster:
//
// - Sort: one stable counting sort by literal count instead of one pass per count.
// - Absorb: the plain loop marks j exactly when some earlier position i holds only literals
//   of j. When such an i exists, the first of them is itself unmarked (whatever marked it
//   would lie before it and inside j too), so it is enough to ask whether some earlier
//   *kept* product is a subset of j. Kept products go into a crit-bit tree, and each j is
//   a subset search in it: a branch whose products all hold a literal that j lacks is never
//   entered. An earlier equal product is a subset like any other, so equal products behave
//   as in the plain loop (the first stays). The keys are the records' bits reordered so that
//   the two literals of a condition lie side by side (see MakeKey).
// - A store that still holds exactly the words the path walk left (WalkedProducts) needs no
//   absorption test at all: two products of one walk part at a node, one holding its
//   condition negated where the other holds it plain, so neither holds all the literals of
//   the other. It is only sorted.
//
// No allocation: everything lives in the scratch arrays of AnalysisState. The plain
// algorithm is kept in tests/reference/plain_reduction.cpp; tests/exactness_test.cpp
// compares the two.

namespace ramivo {

namespace {

using Node = AnalysisState::ReductionNode;
using Edge = AnalysisState::ReductionEdge;
using Pending = AnalysisState::ReductionPending;

// Spreads the 16 low bits of x to the even bit positions.
std::uint32_t Spread16(std::uint32_t x) {
  x &= 0xFFFFu;
  x = (x | (x << 8)) & 0x00FF00FFu;
  x = (x | (x << 4)) & 0x0F0F0F0Fu;
  x = (x | (x << 2)) & 0x33333333u;
  x = (x | (x << 1)) & 0x55555555u;
  return x;
}

// The key of a record: bit 2(c-1) is condition c true, bit 2(c-1)+1 condition c false. A
// permutation of the record's bits, so subsets stay subsets; it puts the two literals of one
// condition side by side, which lets the search drop the products with the opposite sign of
// a condition as soon as it meets that condition.
void MakeKey(const std::uint32_t* record, int half_words, std::uint32_t* key) {
  for (int s = 0; s < half_words; ++s) {
    std::uint32_t p = record[s];
    std::uint32_t q = record[half_words + s];
    key[2 * s] = Spread16(p) | (Spread16(q) << 1);
    key[2 * s + 1] = Spread16(p >> 16) | (Spread16(q >> 16) << 1);
  }
}

// Key access for records of two words: a key is one 64-bit value.
class NarrowKeys {
 public:
  using Key = std::uint64_t;
  NarrowKeys(const std::uint32_t* keys, int) : keys_(keys) {}
  int Bits() const { return 64; }
  Key Of(int position) const {
    return keys_[2 * position] | (std::uint64_t{keys_[2 * position + 1]} << 32);
  }
  Key OfEdge(const Edge& edge) const { return edge.rep_bits; }
  static bool Bit(Key key, int bit) { return (key >> bit) & 1u; }
  // Whether `a` holds a bit in [lo, hi) that `b` lacks.
  static bool HasBitOutside(Key a, Key b, int lo, int hi) { return (a & ~b & Range(lo, hi)) != 0; }
  // The first bit in [lo, hi) where `a` and `b` differ, or -1.
  static int FirstDifference(Key a, Key b, int lo, int hi) {
    std::uint64_t x = (a ^ b) & Range(lo, hi);
    return x != 0 ? std::countr_zero(x) : -1;
  }

 private:
  static std::uint64_t Range(int lo, int hi) {
    if (lo >= hi) return 0;
    std::uint64_t below_hi = hi >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << hi) - 1;
    return below_hi & (~std::uint64_t{0} << lo);
  }
  const std::uint32_t* keys_;
};

// Key access for records of any length: a key is its words.
class WideKeys {
 public:
  using Key = const std::uint32_t*;
  WideKeys(const std::uint32_t* keys, int words) : keys_(keys), words_(words) {}
  int Bits() const { return words_ * 32; }
  Key Of(int position) const { return keys_ + position * words_; }
  Key OfEdge(const Edge& edge) const { return Of(edge.rep); }
  static bool Bit(Key key, int bit) { return (key[bit >> 5] >> (bit & 31)) & 1u; }
  static bool HasBitOutside(Key a, Key b, int lo, int hi) {
    if (lo >= hi) return false;
    const int first = lo >> 5;
    const int last = (hi - 1) >> 5;
    for (int w = first; w <= last; ++w) {
      if ((a[w] & ~b[w] & Mask(w, first, last, lo, hi)) != 0) return true;
    }
    return false;
  }
  static int FirstDifference(Key a, Key b, int lo, int hi) {
    if (lo >= hi) return -1;
    const int first = lo >> 5;
    const int last = (hi - 1) >> 5;
    for (int w = first; w <= last; ++w) {
      std::uint32_t x = (a[w] ^ b[w]) & Mask(w, first, last, lo, hi);
      if (x != 0) return w * 32 + std::countr_zero(x);
    }
    return -1;
  }

 private:
  static std::uint32_t Mask(int w, int first, int last, int lo, int hi) {
    std::uint32_t mask = ~std::uint32_t{0};
    if (w == first) mask &= ~std::uint32_t{0} << (lo & 31);
    if (w == last) mask &= ~std::uint32_t{0} >> (31 - ((hi - 1) & 31));
    return mask;
  }
  const std::uint32_t* keys_;
  int words_;
};

// A crit-bit tree over the keys of the kept products. Every edge tells the first key bit at
// which the products below it differ; they all agree on the bits before it, which one of them
// (rep) shows. A subset search enters an edge only when those bits of rep are all in the key.
template <typename Keys>
class KeptTree {
 public:
  using Key = typename Keys::Key;

  KeptTree(AnalysisState& state, int key_words)
      : keys_(state.ReductionKeys.data(), key_words),
        raw_keys_(state.ReductionKeys.data()),
        words_(key_words),
        nodes_(state.ReductionNodes.data()),
        stack_(state.ReductionStack.data()) {
    root_.ref = kEmpty;
  }

  // Whether some product in the tree holds only bits of the key at `position`. When none
  // does, the product is entered into the tree.
  bool AbsorbOrInsert(int position) {
    const Key key = keys_.Of(position);
    if (root_.ref == kEmpty) {
      root_ = LeafEdge(position);
      return false;
    }
    int depth = 0;
    // The key's own way down (following its bits), up to where it first differs from the
    // products below: the place where it would be inserted. On the way, every other branch
    // whose products may be subsets of the key waits on the stack.
    Edge* own = &root_;
    int from = -1;  // the bit decided by the branch taken, or -1
    Edge* insert_at = nullptr;
    int insert_bit = -1;
    for (;;) {
      Edge& edge = *own;
      insert_bit = Keys::FirstDifference(keys_.OfEdge(edge), key, from + 1, edge.bit);
      if (insert_bit >= 0) {
        insert_at = own;
        if (!Keys::HasBitOutside(keys_.OfEdge(edge), key, from + 1, edge.bit)) {
          stack_[depth++] = {own, from};
        }
        break;
      }
      if (edge.ref < 0) return true;  // the same product
      Node& node = nodes_[edge.ref];
      const bool side = Keys::Bit(key, edge.bit);
      if (side) Push(node.child[0], edge.bit, key, depth);
      own = &node.child[side];
      from = edge.bit;
    }
    // Every branch on the stack has passed the test of the bits it shares.
    while (depth > 0) {
      const Pending pending = stack_[--depth];
      const Edge& edge = *pending.edge;
      if (edge.ref < 0) return true;  // a single product: all its remaining bits passed
      const Node& node = nodes_[edge.ref];
      Push(node.child[0], edge.bit, key, depth);
      if (Keys::Bit(key, edge.bit)) Push(node.child[1], edge.bit, key, depth);
    }
    // Not absorbed: a new node at the edge where the key first differs.
    Node& added = nodes_[node_count_];
    const bool side = Keys::Bit(key, insert_bit);
    added.child[side] = LeafEdge(position);
    added.child[!side] = *insert_at;
    *insert_at = Edge{RepBits(position), node_count_, insert_bit, position};
    ++node_count_;
    return false;
  }

 private:
  static constexpr int kEmpty = ~AnalysisState::kMaxProducts;  // no position is this large

  // Puts `edge` on the stack when the bits its products share after `from` are in the key.
  void Push(const Edge& edge, int from, Key key, int& depth) {
    if (!Keys::HasBitOutside(keys_.OfEdge(edge), key, from + 1, edge.bit)) {
      stack_[depth++] = {&edge, from};
    }
  }

  std::uint64_t RepBits(int position) const {
    return raw_keys_[position * words_] | (std::uint64_t{raw_keys_[position * words_ + 1]} << 32);
  }
  Edge LeafEdge(int position) const {
    return Edge{RepBits(position), ~position, keys_.Bits(), position};
  }

  Keys keys_;
  const std::uint32_t* raw_keys_;
  int words_;
  Node* nodes_;
  Pending* stack_;
  Edge root_{};
  int node_count_ = 0;
};

template <typename Keys>
void Absorb(AnalysisState& state, int count, int words) {
  KeptTree<Keys> kept(state, words);
  for (int j = 0; j < count; ++j) state.Aux[j] = kept.AbsorbOrInsert(j) ? 1 : 0;
}

}  // namespace

void ReduceProducts(AnalysisState& state) {
  const int words = state.RecordWords;
  const int n = state.ProductWords / words;
  if (n <= 1) return;

  // The products of one path walk, unchanged since: no product holds all the literals of
  // another (two paths part at a node, one holding its condition negated where the other
  // holds it plain), so none is absorbed and only the sort is left to do.
  const bool one_walk =
      state.WalkedProductWords == state.ProductWords && state.WalkedRecordWords == words &&
      std::equal(state.Products.begin(), state.Products.begin() + state.ProductWords,
                 state.WalkedProducts.begin());

  // Literal counts (Aux), then a stable counting sort by ascending count into SortBuffer.
  // The plain counting passes start at count 1, so a record without literals (which no search
  // stores) would be left out of the sorted copy; it is left out here too.
  const int max_count = words * 32;
  std::fill_n(state.ReductionCountStart.begin(), max_count + 2, 0);
  for (int i = 0; i < n; ++i) {
    int count = 0;
    for (int w = 0; w < words; ++w) count += std::popcount(state.Products[i * words + w]);
    state.Aux[i] = count;
    ++state.ReductionCountStart[count + 1];
  }
  state.ReductionCountStart[1] = 0;  // count 0: not sorted
  for (int count = 1; count <= max_count; ++count) {
    state.ReductionCountStart[count + 1] += state.ReductionCountStart[count];
  }
  int sorted_count = 0;
  for (int i = 0; i < n; ++i) {
    const int count = state.Aux[i];
    if (count == 0) continue;
    const int position = state.ReductionCountStart[count]++;
    std::copy_n(state.Products.data() + i * words, words,
                state.SortBuffer.data() + position * words);
    ++sorted_count;
  }
  state.SortBufferFill = sorted_count * words;

  // Absorption: Aux[j] := 1 when an earlier kept product holds only literals of j.
  const std::uint32_t* sorted = state.SortBuffer.data();
  if (one_walk) {
    std::copy_n(sorted, state.SortBufferFill, state.Products.begin());
    return;
  }
  for (int j = 0; j < sorted_count; ++j) {
    MakeKey(sorted + j * words, state.HalfWords, state.ReductionKeys.data() + j * words);
  }
  if (words == 2) {
    Absorb<NarrowKeys>(state, sorted_count, words);
  } else {
    Absorb<WideKeys>(state, sorted_count, words);
  }

  state.ProductWords = 0;
  for (int j = 0; j < sorted_count; ++j) {
    if (state.Aux[j] != 0) continue;
    std::copy_n(sorted + j * words, words, state.Products.data() + state.ProductWords);
    state.ProductWords += words;
  }
}

}  // namespace ramivo
