#include "support/random_diagram.h"

#include <algorithm>

namespace ramivo::testing {

namespace {

const char* const kEndWords[] = {"NIC", "ANO", "YES",   "TRUE", "T",
                                 "NE",  "NO",  "FALSE", "F",    "ENDBDD"};

// The value in [low, high] from one draw; the same draws give the same diagrams everywhere.
int Draw(std::mt19937& random, int low, int high) {
  return low + static_cast<int>(random() % static_cast<std::uint32_t>(high - low + 1));
}

std::string BranchName(int branch) {
  return branch >= 0 ? "n" + std::to_string(branch) : std::string(kEndWords[-1 - branch]);
}

void Walk(const RandomDiagram& diagram, int branch, ReferencePathCounts& counts) {
  if (branch >= 0) {
    for (int next : diagram.nodes[branch].branch) Walk(diagram, next, counts);
    return;
  }
  int end = -1 - branch;
  bool yes_type = end >= 1 && end <= 4;
  bool no_type = end >= 5 && end <= 8;
  if (!yes_type && !no_type) {
    ++counts.dead;
  } else if (yes_type == diagram.seek_yes) {
    ++counts.sought;
  } else {
    ++counts.other;
  }
}

}  // namespace

RandomDiagram MakeRandomDiagram(std::mt19937& random, const RandomDiagramShape& shape) {
  RandomDiagram diagram;
  const int node_count = Draw(random, 1, shape.max_nodes);
  const int conditions = Draw(random, 1, shape.max_conditions);
  diagram.seek_yes = Draw(random, 0, 2) != 0;
  for (int i = 0; i < node_count; ++i) {
    RandomDiagram::Node node;
    node.condition = Draw(random, 0, conditions - 1);
    for (int& branch : node.branch) {
      bool to_node = i + 1 < node_count && Draw(random, 0, 2) != 0;
      branch = to_node ? Draw(random, i + 1, node_count - 1) : -1 - Draw(random, 0, 9);
    }
    diagram.nodes.push_back(node);
  }

  for (int i = 0; i < shape.leading_conditions; ++i) {
    diagram.text += "u" + std::to_string(i) + " L" + std::to_string(i) + " NIC NE\n";
  }
  std::vector<int> order(node_count);
  for (int i = 0; i < node_count; ++i) order[i] = i;
  for (int i = node_count - 1; i > 0; --i) std::swap(order[i], order[Draw(random, 0, i)]);
  for (int i : order) {
    const RandomDiagram::Node& node = diagram.nodes[i];
    diagram.text += BranchName(i) + " C" + std::to_string(node.condition) + " " +
                    BranchName(node.branch[0]) + " " + BranchName(node.branch[1]) + "\n";
  }
  diagram.text += std::string("ENDBDD ") + (diagram.seek_yes ? "YES" : "F") + " n0\n";
  return diagram;
}

ReferencePathCounts CountPathsByWalking(const RandomDiagram& diagram) {
  ReferencePathCounts counts;
  Walk(diagram, 0, counts);
  return counts;
}

}  // namespace ramivo::testing
