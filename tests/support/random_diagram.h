// Random acyclic diagram descriptions for property tests, reproducible from a fixed start
// value: node i branches only to nodes above i or to an end, so no cycle can arise; node
// lines come in shuffled order (node codes differ from node indexes) and the end line last.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace ramivo::testing {

struct RandomDiagram {
  // A branch: >= 0 a node index, < 0 the end word of code -1 - branch (0 "NIC" .. 9 "ENDBDD").
  struct Node {
    int condition;  // index of the condition, named "C<index>"
    int branch[2];  // no-branch, yes-branch
  };
  std::vector<Node> nodes;  // node 0 ("n0") is the start node
  bool seek_yes = true;
  std::string text;  // the description
};

struct RandomDiagramShape {
  int max_nodes = 12;
  int max_conditions = 8;
  // Unreachable nodes "u<i>" written first, each with a condition of its own, so that the
  // conditions of the diagram get codes above this number.
  int leading_conditions = 0;
};

RandomDiagram MakeRandomDiagram(std::mt19937& random, const RandomDiagramShape& shape);

// Paths from node 0, walked without regard to contradictions, by the kind of their end.
struct ReferencePathCounts {
  std::uint64_t sought = 0, other = 0, dead = 0;
};
ReferencePathCounts CountPathsByWalking(const RandomDiagram& diagram);

}  // namespace ramivo::testing
