// CountPaths: the exact numbers of paths from the start node that end in the sought kind of
// end, in the other kind and in a dead end, computed over the acyclic diagram without walking
// the paths (a node's numbers are the sums of its two branches'). The numbers have no size
// limit: a diagram of n nodes can have 2^n paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis_state.h"

namespace ramivo {

// A non-negative integer of any size; adding is all a path count needs.
class PathCount {
 public:
  PathCount() = default;
  explicit PathCount(std::uint32_t value);

  PathCount& operator+=(const PathCount& other);
  bool operator==(const PathCount& other) const = default;
  // Decimal digits without leading zeros; "0" for zero.
  std::string ToDecimal() const;

 private:
  // Base 10^9, least significant limb first, no zero limb on top: decimal output is a plain
  // print of each limb.
  std::vector<std::uint32_t> limbs_;
};

struct PathCounts {
  PathCount sought;  // ends of the sought kind (SearchYes: "ANO" type, else "NE" type)
  PathCount other;   // ends of the other kind
  PathCount dead;    // "NIC" and "ENDBDD"
};

// Counts the paths from StartNode with the sought kind given by SearchYes; reads the terminal
// codes as written or as folded by the search. Every node reachable from StartNode needs a
// definition row (true when reading raised no error). Nothing when there is no start node or
// a cycle can be reached from it.
std::optional<PathCounts> CountPaths(const AnalysisState& state);

}  // namespace ramivo
