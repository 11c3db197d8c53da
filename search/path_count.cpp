#include "search/path_count.h"

#include <cstdio>

#include "search/definition_row.h"

namespace ramivo {

namespace {

constexpr std::uint32_t kLimbBase = 1'000'000'000;

enum : std::uint8_t { kUnseen = 0, kOnWalk, kCounted };

// The kind of end a terminal code stands for, before or after the search folds the codes.
enum class EndKindOf { kYesType, kNoType, kDead };

EndKindOf KindOfTerminal(int code) {
  if (code >= 1 && code <= 4) return EndKindOf::kYesType;
  if (code >= 5 && code <= 8) return EndKindOf::kNoType;
  return EndKindOf::kDead;  // 0 "NIC", 9 "ENDBDD"
}

}  // namespace

PathCount::PathCount(std::uint32_t value) {
  while (value > 0) {
    limbs_.push_back(value % kLimbBase);
    value /= kLimbBase;
  }
}

PathCount& PathCount::operator+=(const PathCount& other) {
  if (limbs_.size() < other.limbs_.size()) limbs_.resize(other.limbs_.size(), 0);
  std::uint32_t carry = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    if (i >= other.limbs_.size() && carry == 0) break;
    std::uint32_t sum = limbs_[i] + carry + (i < other.limbs_.size() ? other.limbs_[i] : 0);
    carry = sum >= kLimbBase ? 1 : 0;
    limbs_[i] = sum - carry * kLimbBase;
  }
  if (carry != 0) limbs_.push_back(carry);
  return *this;
}

std::string PathCount::ToDecimal() const {
  if (limbs_.empty()) return "0";
  std::string text = std::to_string(limbs_.back());
  char digits[10];
  for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
    std::snprintf(digits, sizeof digits, "%09u", static_cast<unsigned>(limbs_[i]));
    text += digits;
  }
  return text;
}

std::optional<PathCounts> CountPaths(const AnalysisState& state) {
  if (state.StartNode < kFirstUserNode) return std::nullopt;
  const EndKindOf sought = state.SearchYes ? EndKindOf::kYesType : EndKindOf::kNoType;
  // The numbers of a branch that ends at once, by the kind of its end.
  PathCounts one_end[3];
  const PathCount one(1);
  for (EndKindOf kind : {EndKindOf::kYesType, EndKindOf::kNoType, EndKindOf::kDead}) {
    PathCounts& counts = one_end[static_cast<int>(kind)];
    if (kind == sought) {
      counts.sought = one;
    } else if (kind == EndKindOf::kDead) {
      counts.dead = one;
    } else {
      counts.other = one;
    }
  }

  std::vector<PathCounts> counted(state.NodeNameLast + 1);
  std::vector<std::uint8_t> mark(state.NodeNameLast + 1, kUnseen);
  // Depth-first from the start node; a node is counted once both its successors are, so
  // each node is summed once however many paths lead to it.
  std::vector<int> walk{state.StartNode};
  mark[state.StartNode] = kOnWalk;
  while (!walk.empty()) {
    const int node = walk.back();
    const DefinitionRow& row = RowOf(state, node);
    bool successors_counted = true;
    for (int next : {row.no_output, row.yes_output}) {
      if (next < kFirstUserNode || mark[next] == kCounted) continue;
      if (mark[next] == kOnWalk) return std::nullopt;  // a cycle
      mark[next] = kOnWalk;
      walk.push_back(next);
      successors_counted = false;
      break;
    }
    if (!successors_counted) continue;
    PathCounts& sum = counted[node];
    for (int next : {row.no_output, row.yes_output}) {
      const PathCounts& part =
          next >= kFirstUserNode ? counted[next] : one_end[static_cast<int>(KindOfTerminal(next))];
      sum.sought += part.sought;
      sum.other += part.other;
      sum.dead += part.dead;
    }
    mark[node] = kCounted;
    walk.pop_back();
  }
  return counted[state.StartNode];
}

}  // namespace ramivo
