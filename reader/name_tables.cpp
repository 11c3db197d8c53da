#include "reader/name_tables.h"

#include <cstdint>
#include <cstring>

namespace ramivo {

namespace {

constexpr const char* kReservedWords[kEndBdd + 1] = {"NIC", "ANO", "YES",   "TRUE", "T",
                                                     "NE",  "NO",  "FALSE", "F",    "ENDBDD"};

using Index = std::array<std::int16_t, AnalysisState::kIndexSlots>;
constexpr unsigned kIndexMask = AnalysisState::kIndexSlots - 1;

std::uint64_t Bytes(const Name& name) {
  std::uint64_t bytes;
  std::memcpy(&bytes, name.data(), sizeof bytes);
  return bytes;
}

unsigned HashSlot(std::uint64_t key_bytes) {
  return static_cast<unsigned>((key_bytes * 0x9E3779B97F4A7C15ull) >> 50) & kIndexMask;
}

// The code of `key` in `names`, or -1; `slot` is left at the free slot for entering it.
template <std::size_t N>
int FindKey(const Index& index, const std::array<Name, N>& names, const Name& key, unsigned& slot) {
  const std::uint64_t key_bytes = Bytes(key);
  for (slot = HashSlot(key_bytes); index[slot] != 0; slot = (slot + 1) & kIndexMask) {
    int code = index[slot] - 1;
    if (Bytes(names[code]) == key_bytes) return code;
  }
  return -1;
}

template <std::size_t N>
void Enter(Index& index, std::array<Name, N>& names, unsigned slot, int code, const Name& key) {
  names[code] = key;
  index[slot] = static_cast<std::int16_t>(code + 1);
}

}  // namespace

void ResetNameTables(AnalysisState& state) {
  state.NodeIndex.fill(0);
  state.ConditionIndex.fill(0);
  for (int code = 0; code <= kEndBdd; ++code) {
    Name key = PadName(kReservedWords[code]);
    unsigned slot;
    FindKey(state.NodeIndex, state.NodeNames, key, slot);
    Enter(state.NodeIndex, state.NodeNames, slot, code, key);
  }
  state.NodeNameLast = -1;
  state.ConditionNameLast = 0;
}

int LookupNode(AnalysisState& state, const Name& key) {
  unsigned slot;
  int code = FindKey(state.NodeIndex, state.NodeNames, key, slot);
  if (code >= 0) return code;
  if (state.NodeNameLast >= kNodeCodeLast) {
    state.SizeError = kErrTooManyNodes;
    state.Report.WriteLine("prilis mnoho uzlu");
    return -1;
  }
  // NodeNameLast is -1 until the first user name, which takes code 10.
  state.NodeNameLast =
      state.NodeNameLast < kFirstUserNode ? kFirstUserNode : state.NodeNameLast + 1;
  Enter(state.NodeIndex, state.NodeNames, slot, state.NodeNameLast, key);
  return state.NodeNameLast;
}

int LookupCondition(AnalysisState& state, const Name& key) {
  unsigned slot;
  int code = FindKey(state.ConditionIndex, state.ConditionNames, key, slot);
  if (code >= 0) return code;
  if (state.ConditionNameLast >= kConditionCodeLast) {
    state.SizeError = kErrTooManyConditions;
    state.Report.WriteLine("prilis mnoho podminek");
    return -1;
  }
  ++state.ConditionNameLast;
  Enter(state.ConditionIndex, state.ConditionNames, slot, state.ConditionNameLast, key);
  return state.ConditionNameLast;
}

}  // namespace ramivo
