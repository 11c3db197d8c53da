// For random small acyclic diagrams, the reduced products must be true on exactly the
// assignments under which the diagram, walked from its start node, ends in the sought kind
// of end.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/run_driver.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

const char* const kOutputs[] = {"NIC", "ANO", "YES",   "TRUE", "T",
                                "NE",  "NO",  "FALSE", "F",    "ENDBDD"};

struct Diagram {
  struct Node {
    int condition;  // index into conditions
    int branch[2];  // >= 0 node index, < 0: -1 - terminal code
  };
  std::vector<Node> nodes;  // node 0 is the start; branches only lead to higher indexes
  int conditions = 0;
  bool seek_yes = true;
  std::string text;
};

Diagram MakeDiagram(std::mt19937& random) {
  Diagram d;
  int node_count = std::uniform_int_distribution<int>(1, 14)(random);
  d.conditions = std::uniform_int_distribution<int>(1, 12)(random);
  d.seek_yes = random() % 3 != 0;
  for (int i = 0; i < node_count; ++i) {
    Diagram::Node node;
    node.condition = std::uniform_int_distribution<int>(0, d.conditions - 1)(random);
    for (int& branch : node.branch) {
      bool to_node = i + 1 < node_count && random() % 3 != 0;
      branch = to_node ? std::uniform_int_distribution<int>(i + 1, node_count - 1)(random)
                       : -1 - static_cast<int>(random() % 10);
    }
    d.nodes.push_back(node);
  }
  // Lines in random order; the end line last, so that the start node is already named.
  std::vector<int> order(node_count);
  for (int i = 0; i < node_count; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), random);
  auto name = [](int branch) {
    return branch >= 0 ? "n" + std::to_string(branch) : std::string(kOutputs[-1 - branch]);
  };
  for (int i : order) {
    const Diagram::Node& node = d.nodes[i];
    d.text += name(i) + " C" + std::to_string(node.condition) + " " + name(node.branch[0]) + " " +
              name(node.branch[1]) + "\n";
  }
  d.text += std::string("ENDBDD ") + (d.seek_yes ? "YES" : "F") + " n0\n";
  return d;
}

// Whether the diagram, walked from n0 under `assignment` (bit i: condition i), ends in the
// sought kind of end.
bool Walk(const Diagram& d, unsigned assignment) {
  int at = 0;
  for (;;) {
    const Diagram::Node& node = d.nodes[at];
    int branch = node.branch[(assignment >> node.condition) & 1];
    if (branch >= 0) {
      at = branch;
      continue;
    }
    int terminal = -1 - branch;
    return d.seek_yes ? terminal >= 1 && terminal <= 4 : terminal >= 5 && terminal <= 8;
  }
}

TEST(SumOfProducts, ReducedProductsAgreeWithTheDiagram) {
  std::mt19937 random(20261211);
  auto state = std::make_unique<AnalysisState>();
  for (int round = 0; round < 400; ++round) {
    Diagram d = MakeDiagram(random);
    auto result = testing::RunOn(*state, d.text);
    ASSERT_EQ(state->StructureError, 0) << d.text;
    ASSERT_EQ(state->SizeError, 0) << d.text;
    bool any_path = false;
    for (unsigned a = 0; a < (1u << d.conditions); ++a) any_path |= Walk(d, a);
    if (state->FormalError == kErrNoPathToEnd) {
      // Nothing reachable leads to the sought end, so no assignment may reach it.
      EXPECT_FALSE(any_path) << d.text;
      continue;
    }
    ASSERT_EQ(state->FormalError, 0) << d.text;
    ASSERT_EQ(result.messages.size(), 1u);

    // Condition code -> index of the generated condition, through its name "C<index>".
    std::vector<int> index_of(state->ConditionNameLast + 1);
    for (int code = 1; code <= state->ConditionNameLast; ++code) {
      index_of[code] = std::stoi(std::string(TrimmedName(state->ConditionNames[code])).substr(1));
    }
    const int words = state->RecordWords;
    const int half = state->HalfWords;
    for (unsigned a = 0; a < (1u << d.conditions); ++a) {
      bool sum = false;
      for (int p = 0; p < state->ProductWords && !sum; p += words) {
        bool product = true;
        for (int code = 1; code <= state->ConditionNameLast && product; ++code) {
          int w = (code - 1) / 32;
          std::uint32_t bit = 1u << ((code - 1) % 32);
          bool value = (a >> index_of[code]) & 1;
          if ((state->Products[p + w] & bit) && !value) product = false;
          if ((state->Products[p + half + w] & bit) && value) product = false;
        }
        sum = product;
      }
      ASSERT_EQ(sum, Walk(d, a)) << d.text << "assignment " << a;
    }
  }
}

}  // namespace
}  // namespace ramivo
