// Deterministic generator of large descriptions for the benchmark (bench/ramivo_bench.cpp) and, at
// reduced size, for the exactness tests (tests/exactness_test.cpp). Header-only so that both
// can use it without a library of its own. The same start_value and sizes give the same bytes on
// every machine: the random numbers are splitmix64, never a std:: distribution.
//
// Families:
//   (a) ChainFamily:      nodes linked by their no-branches, paths of about that many nodes,
//                         a few products.
//   (b) FullStoreFamily:  an ordered diagram over 32 conditions with about 30000 paths to the
//                         sought end.
//   (c) RandomFamily:     a random ordered reduced diagram of about 3000 nodes with 20000 to
//                         30000 products (no-type ends sought).
//   (d) DeadWoodFamily:   a handful of products, and a ladder of `ladder` levels below them
//                         whose 2^ladder paths per entry end in "NIC", "NE" and the like.
//   (e) FullTablesFamily: 4001 node lines, each with a new condition, then a line with a
//                         new node name (the node-name table is full by then).
//   (f) ReductionFamily:  not a description: 32000 two-word products with real absorption,
//                         for FillStore.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "core/analysis_state.h"

namespace ramivo::bench {

inline constexpr std::uint64_t kDefaultStartValue = 20261211;

// splitmix64.
class Random {
 public:
  explicit Random(std::uint64_t start_value) : state_(start_value) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (n > 0).
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  bool Percent(int percent) { return Below(100) < percent; }
  template <typename T>
  void Shuffle(std::vector<T>& items) {
    for (std::size_t i = items.size(); i > 1; --i) {
      std::swap(items[i - 1], items[static_cast<std::size_t>(Below(static_cast<int>(i)))]);
    }
  }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

 private:
  std::uint64_t state_;
};

namespace detail {

// prefix followed by n in decimal (std::to_string draws false -Wrestrict warnings from GCC 12).
inline std::string Numbered(std::string prefix, long n) {
  char digits[24];
  int length = std::snprintf(digits, sizeof digits, "%ld", n);
  prefix.append(digits, static_cast<std::size_t>(length));
  return prefix;
}

inline constexpr const char* kYesWords[] = {"ANO", "YES", "TRUE", "T", "ano", "Yes"};
inline constexpr const char* kNoWords[] = {"NE", "NO", "FALSE", "F", "ne", "No"};
inline constexpr const char* kDeadWords[] = {"NIC", "nic", "ENDBDD"};
inline constexpr const char* kSeparators[] = {"  ", "  ", "  ", " ", "\t", ", ", " ; ", " - "};

// A terminal word of the sought kind, of the other kind, or a dead end.
inline const char* SoughtWord(Random& rng, bool seek_yes) {
  return seek_yes ? rng.Pick(kYesWords) : rng.Pick(kNoWords);
}
inline const char* OtherWord(Random& rng, bool seek_yes) {
  return seek_yes ? rng.Pick(kNoWords) : rng.Pick(kYesWords);
}

inline void AppendLine(std::string& text, Random& rng, const std::string& a, const std::string& b,
                       const std::string& c, const std::string& d) {
  text += a;
  text += rng.Pick(kSeparators);
  text += b;
  text += rng.Pick(kSeparators);
  text += c;
  text += rng.Pick(kSeparators);
  text += d;
  text += rng.Percent(10) ? "\r\n" : "\n";
}

}  // namespace detail

// (a) Node C<i> tests c<i>; its no-branch leads to C<i+1>, its yes-branch to a terminal:
// the sought one at `products` - 1 nodes of the lower half, the other kind or a dead end
// elsewhere. The last node ends in the sought terminal on its no-branch.
inline std::string ChainFamily(std::uint64_t start_value = kDefaultStartValue, int nodes = 4000,
                               int products = 8) {
  Random rng(start_value ^ 0xA);
  std::vector<bool> sought(static_cast<std::size_t>(nodes) + 1, false);
  for (int placed = 0; placed < products - 1 && placed < nodes / 2;) {
    int at = nodes / 2 + rng.Below(nodes - nodes / 2);
    if (at >= 1 && at < nodes && !sought[at]) {
      sought[at] = true;
      ++placed;
    }
  }
  std::string text;
  for (int i = 1; i <= nodes; ++i) {
    std::string node = detail::Numbered("C", i);
    std::string condition = detail::Numbered(i % 7 == 0 ? "K" : "c", i);
    if (i < nodes) {
      std::string yes = sought[i]         ? detail::SoughtWord(rng, true)
                        : rng.Percent(50) ? detail::OtherWord(rng, true)
                                          : rng.Pick(detail::kDeadWords);
      detail::AppendLine(text, rng, node, condition, detail::Numbered("C", i + 1), yes);
    } else {
      detail::AppendLine(text, rng, node, condition, detail::SoughtWord(rng, true),
                         detail::OtherWord(rng, true));
    }
  }
  text += "ENDBDD ANO C1\n";
  return text;
}

struct OrderedShape {
  int levels = 32;            // level l tests condition x<l+1>; at most 32 keeps records at 2 words
  int max_width = 8;          // nodes per level: 1, 2, 4, ... up to this
  int terminal_percent = 25;  // branches (above the last level) that end in a terminal
  std::uint64_t min_paths = 29000;  // paths to the sought end wanted
  std::uint64_t max_paths = 30500;
  bool seek_yes = true;
};

// (b), (c): a random ordered diagram, every node reachable from the top node v0n0, no node
// with two equal outputs. The number of paths from the top into a terminal branch does not
// depend on the terminals, so the sought terminal is put on branches in random order as long
// as the total number of paths to it stays within max_paths, until it reaches min_paths (a
// new random diagram is tried when it does not; after 100 tries the last one is taken).
inline std::string OrderedDiagram(std::uint64_t start_value, const OrderedShape& shape) {
  constexpr int kTerminal = -1;
  for (std::uint64_t attempt = 0;; ++attempt) {
    Random rng(start_value ^ (0xB0B0 + attempt * 0x9E37));
    std::vector<int> level_start{0};
    for (int level = 0, width = 1; level < shape.levels; ++level) {
      level_start.push_back(level_start.back() + width);
      width = std::min(2 * width, shape.max_width);
    }
    const int node_count = level_start.back();
    std::vector<int> level_of(static_cast<std::size_t>(node_count));
    for (int level = 0; level < shape.levels; ++level) {
      for (int v = level_start[level]; v < level_start[level + 1]; ++v) level_of[v] = level;
    }
    std::vector<std::array<int, 2>> out(static_cast<std::size_t>(node_count),
                                        {kTerminal, kTerminal});
    for (int level = 0; level + 1 < shape.levels; ++level) {
      std::vector<std::pair<int, int>> slots;
      for (int v = level_start[level]; v < level_start[level + 1]; ++v) {
        slots.push_back({v, 0});
        slots.push_back({v, 1});
      }
      rng.Shuffle(slots);
      std::size_t s = 0;
      // Every node of the next level gets a parent here (the level is at most twice as wide).
      for (int child = level_start[level + 1]; child < level_start[level + 2]; ++child, ++s) {
        out[slots[s].first][slots[s].second] = child;
      }
      for (; s < slots.size(); ++s) {
        if (rng.Percent(shape.terminal_percent)) continue;
        int skip = rng.Percent(70) ? 1 : rng.Percent(66) ? 2 : 3;
        int target = std::min(level + skip, shape.levels - 1);
        int width = level_start[target + 1] - level_start[target];
        out[slots[s].first][slots[s].second] = level_start[target] + rng.Below(width);
      }
      for (int v = level_start[level]; v < level_start[level + 1]; ++v) {
        if (out[v][0] == out[v][1] && out[v][0] != kTerminal) out[v][1] = kTerminal;
      }
    }
    // Paths from the top into every node (saturating).
    constexpr std::uint64_t kMany = std::numeric_limits<std::uint64_t>::max() / 4;
    std::vector<std::uint64_t> paths_to(static_cast<std::size_t>(node_count), 0);
    paths_to[0] = 1;
    for (int v = 0; v < node_count; ++v) {
      for (int side = 0; side < 2; ++side) {
        if (out[v][side] != kTerminal) {
          paths_to[out[v][side]] = std::min(kMany, paths_to[out[v][side]] + paths_to[v]);
        }
      }
    }
    // Terminal branches: 0 other kind, 1 dead end, 2 sought.
    std::vector<std::array<int, 2>> terminal(static_cast<std::size_t>(node_count), {0, 0});
    std::vector<std::pair<int, int>> branches;
    for (int v = 0; v < node_count; ++v) {
      bool both = out[v][0] == kTerminal && out[v][1] == kTerminal;
      int first = rng.Below(2);
      for (int side = 0; side < 2; ++side) {
        if (out[v][side] != kTerminal) continue;
        terminal[v][side] = both ? (side == first ? 0 : 1) : rng.Below(2);
        branches.push_back({v, side});
      }
    }
    rng.Shuffle(branches);
    std::uint64_t total = 0;
    for (auto [v, side] : branches) {
      if (total >= shape.min_paths) break;
      if (out[v][1 - side] == kTerminal && terminal[v][1 - side] == 2) continue;  // reduced
      if (total + paths_to[v] > shape.max_paths) continue;
      terminal[v][side] = 2;
      total += paths_to[v];
    }
    if (total < shape.min_paths && attempt < 100) continue;  // then take what there is

    auto name = [&](int v) {
      return detail::Numbered(detail::Numbered("v", level_of[v]) + "n",
                              v - level_start[level_of[v]]);
    };
    std::string text;
    for (int v = 0; v < node_count; ++v) {
      std::string outputs[2];
      for (int side = 0; side < 2; ++side) {
        if (out[v][side] != kTerminal) {
          outputs[side] = name(out[v][side]);
        } else if (terminal[v][side] == 2) {
          outputs[side] = detail::SoughtWord(rng, shape.seek_yes);
        } else if (terminal[v][side] == 0) {
          outputs[side] = detail::OtherWord(rng, shape.seek_yes);
        } else {
          outputs[side] = rng.Pick(detail::kDeadWords);
        }
      }
      std::string condition = detail::Numbered(rng.Percent(10) ? "X" : "x", level_of[v] + 1);
      detail::AppendLine(text, rng, name(v), condition, outputs[0], outputs[1]);
    }
    text += std::string("ENDBDD ") + (shape.seek_yes ? "ANO" : "NE") + " v0n0\n";
    return text;
  }
}

inline std::string FullStoreFamily(std::uint64_t start_value = kDefaultStartValue) {
  return OrderedDiagram(start_value, OrderedShape{});
}

inline std::string RandomFamily(std::uint64_t start_value = kDefaultStartValue) {
  OrderedShape shape;
  shape.max_width = 110;
  shape.terminal_percent = 30;
  shape.min_paths = 24000;
  shape.max_paths = 28000;
  shape.seek_yes = false;
  return OrderedDiagram(start_value, shape);
}

// (d) Live nodes L1..L<live> tested in a chain by their yes-branches, the last one ending in
// the sought terminal; the no-branch of every other live node leads to a node Q<i> with one
// branch to the sought terminal, of the rest into the top of a ladder: `ladder` levels of two
// nodes, each branch of a level leading to both nodes of the next, the last level into "NE",
// "NIC" and the like. None of the 2^ladder paths through the ladder reaches the sought end.
inline std::string DeadWoodFamily(std::uint64_t start_value = kDefaultStartValue, int live = 8,
                                  int ladder = 40) {
  Random rng(start_value ^ 0xD);
  std::string text;
  auto rung = [](int level, char side) { return detail::Numbered("D", level) + side; };
  for (int i = 1; i <= live; ++i) {
    std::string node = detail::Numbered("L", i);
    std::string yes = i < live ? detail::Numbered("L", i + 1) : detail::SoughtWord(rng, true);
    std::string no = i % 2 == 1 ? detail::Numbered("Q", i) : rung(1, 'a');
    detail::AppendLine(text, rng, node, detail::Numbered("a", i), no, yes);
  }
  for (int i = 1; i <= live; i += 2) {
    if (rng.Percent(50)) {
      detail::AppendLine(text, rng, detail::Numbered("Q", i), detail::Numbered("b", i),
                         rung(1, 'b'), detail::SoughtWord(rng, true));
    } else {
      detail::AppendLine(text, rng, detail::Numbered("Q", i), detail::Numbered("b", i),
                         detail::SoughtWord(rng, true), rung(1, 'a'));
    }
  }
  for (int level = 1; level <= ladder; ++level) {
    std::string condition = detail::Numbered("d", level);
    if (level < ladder) {
      detail::AppendLine(text, rng, rung(level, 'a'), condition, rung(level + 1, 'a'),
                         rung(level + 1, 'b'));
      detail::AppendLine(text, rng, rung(level, 'b'), condition, rung(level + 1, 'b'),
                         rung(level + 1, 'a'));
    } else {
      detail::AppendLine(text, rng, rung(level, 'a'), condition, detail::OtherWord(rng, true),
                         "NIC");
      detail::AppendLine(text, rng, rung(level, 'b'), condition, "ENDBDD",
                         detail::OtherWord(rng, true));
    }
  }
  text += "ENDBDD ANO L1\n";
  return text;
}

// (e) N<i> tests c<i> and leads to N<i+1> or a terminal; the last node line ends in
// terminals, so exactly `lines` node names are entered; then one more line with a new name.
inline std::string FullTablesFamily(std::uint64_t start_value = kDefaultStartValue,
                                    int lines = 4001) {
  Random rng(start_value ^ 0xE);
  std::string text;
  for (int i = 1; i <= lines; ++i) {
    std::string node = detail::Numbered(rng.Percent(20) ? "n" : "N", i);
    std::string next = i < lines ? detail::Numbered("N", i + 1) : detail::OtherWord(rng, true);
    detail::AppendLine(text, rng, node, detail::Numbered("c", i), next,
                       detail::SoughtWord(rng, true));
  }
  detail::AppendLine(text, rng, "Extra", detail::Numbered("c", lines + 1), "NE", "ANO");
  return text;
}

// The families (a) to (e) at reduced size: small enough for the plain walk that the
// exactness tests compare with, and quick for the benchmark's smoke run.
inline std::string ReducedSizeFamily(char family, std::uint64_t start_value = kDefaultStartValue) {
  OrderedShape shape;
  shape.levels = 20;
  switch (family) {
    case 'a':
      return ChainFamily(start_value, 400, 6);
    case 'b':
      shape.min_paths = 1500;
      shape.max_paths = 2000;
      return OrderedDiagram(start_value, shape);
    case 'c':
      shape.max_width = 30;
      shape.terminal_percent = 30;
      shape.min_paths = 1000;
      shape.max_paths = 1500;
      shape.seek_yes = false;
      return OrderedDiagram(start_value, shape);
    case 'd':
      return DeadWoodFamily(start_value, 8, 12);
    case 'e':
      return FullTablesFamily(start_value, 300);
  }
  return {};
}

inline const char* FamilyTitle(char family) {
  switch (family) {
    case 'a':
      return "(a) chain";
    case 'b':
      return "(b) full store";
    case 'c':
      return "(c) random";
    case 'd':
      return "(d) dead wood";
    case 'e':
      return "(e) full tables";
    case 'f':
      return "(f) reduction";
  }
  return "?";
}

// (f) A product store filled directly: records of 2 * HalfWords words.
struct DirectStore {
  int conditions = 32;
  std::vector<std::uint32_t> words;
};

// `products` products over `conditions` conditions, none contradictory: short base products
// (2 to 4 literals), supersets of them, exact repetitions, and random products of 3 to 16
// literals, shuffled. Many are absorbed by a base product or by an earlier equal one.
inline DirectStore ReductionFamily(std::uint64_t start_value = kDefaultStartValue,
                                   int products = 32000, int conditions = 32) {
  Random rng(start_value ^ 0xF);
  const int half = (conditions - 1) / 32 + 1;
  using Product = std::vector<std::uint32_t>;
  std::vector<int> order(static_cast<std::size_t>(conditions));
  for (int c = 0; c < conditions; ++c) order[c] = c;
  auto has = [&](const Product& p, int c) {
    return ((p[c / 32] | p[half + c / 32]) >> (c % 32)) & 1u;
  };
  auto add_literals = [&](Product& p, int count) {
    rng.Shuffle(order);
    for (int c : order) {
      if (count == 0) break;
      if (has(p, c)) continue;
      p[(rng.Percent(50) ? 0 : half) + c / 32] |= std::uint32_t{1} << (c % 32);
      --count;
    }
  };
  std::vector<Product> base;
  for (int b = 0; b < std::max(1, products / 32); ++b) {
    Product p(2 * static_cast<std::size_t>(half), 0);
    add_literals(p, 2 + rng.Below(3));
    base.push_back(p);
  }
  std::vector<Product> all = base;
  while (static_cast<int>(all.size()) < products) {
    int kind = rng.Below(100);
    if (kind < 35) {
      Product p = base[rng.Below(static_cast<int>(base.size()))];
      add_literals(p, 1 + rng.Below(10));
      all.push_back(p);
    } else if (kind < 45) {
      all.push_back(all[rng.Below(static_cast<int>(all.size()))]);
    } else {
      Product p(2 * static_cast<std::size_t>(half), 0);
      add_literals(p, 3 + rng.Below(14));
      all.push_back(p);
    }
  }
  all.resize(static_cast<std::size_t>(products));
  rng.Shuffle(all);
  DirectStore store;
  store.conditions = conditions;
  for (const Product& p : all) store.words.insert(store.words.end(), p.begin(), p.end());
  return store;
}

// Puts `store` into a freshly reset state, with condition names k1, k2, ... for listings.
inline void FillStore(AnalysisState& state, const DirectStore& store) {
  ResetState(state);
  state.ConditionNameLast = store.conditions;
  for (int c = 1; c <= store.conditions; ++c) {
    state.ConditionDisplayNames[c] = PadName(detail::Numbered("k", c));
  }
  state.HalfWords = (store.conditions - 1) / 32 + 1;
  state.RecordWords = 2 * state.HalfWords;
  std::copy(store.words.begin(), store.words.end(), state.Products.begin());
  state.ProductWords = static_cast<int>(store.words.size());
}

}  // namespace ramivo::bench
