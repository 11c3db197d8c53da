// libFuzzer target: arbitrary bytes as a description, taken through a whole run (reading,
// checks, search, listing, reduction) with the report kept in memory. Besides the
// sanitizers it checks what every run must give: a report of CR LF lines that begins with
// the header, a verdict, the same report and verdict from a state that earlier runs have
// used as from a new one (the window reuses its state from run to run), and, where the
// diagram has few enough paths, the same report as the plain walk, listing and reduction of
// tests/reference give.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/run_driver.h"
#include "reader/line_parser.h"
#include "reference/plain_run.h"

namespace {

using ramivo::AnalysisState;
using ramivo::ByteSink;
using ramivo::MessageKind;

struct Outcome {
  std::string report;
  std::vector<std::pair<std::string, MessageKind>> messages;
};

class FuzzPlatform : public ramivo::Platform {
 public:
  FuzzPlatform(std::string input, Outcome& outcome) : input_(std::move(input)), outcome_(outcome) {}
  std::optional<std::string> PickInputFile() override { return input_; }
  void SetCaption(const std::string&) override {}
  void ShowMessage(const std::string& text, MessageKind kind) override {
    outcome_.messages.emplace_back(text, kind);
  }
  std::unique_ptr<ByteSink> CreateReport(const std::string&) override {
    return ramivo::CreateStringSink(outcome_.report);
  }

 private:
  std::string input_;
  Outcome& outcome_;
};

// The description goes to a file in a private folder, on tmpfs where there is one.
const std::string& InputPath() {
  static const std::string path = [] {
    std::string base = std::filesystem::exists("/dev/shm")
                           ? std::string("/dev/shm")
                           : std::filesystem::temp_directory_path().string();
    std::string folder = base + "/ramivo-fuzz-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    return folder + "/net.txt";
  }();
  return path;
}

void RemoveInputFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(InputPath()).parent_path(), ignored);
}

void WriteInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
    std::perror(InputPath().c_str());
    std::abort();
  }
}

Outcome Run(AnalysisState& state) {
  Outcome outcome;
  FuzzPlatform platform(InputPath(), outcome);
  ramivo::RunAnalysis(state, platform);  // an IoError here is a finding: nothing is caught
  return outcome;
}

void Fail(const char* what) {
  std::fprintf(stderr, "ramivo fuzz check failed: %s\n", what);
  std::abort();
}

void CheckOutcome(const Outcome& outcome) {
  const std::string& report = outcome.report;
  const char kHeader[] =
      "Kontrolni vypis zadani BDD s ocislovanymi radky\r\n"
      "vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :\r\n";
  if (report.compare(0, sizeof kHeader - 1, kHeader) != 0) Fail("report header");
  // Input lines reach the report without their CR and LF, so every CR and LF of the report
  // is part of a CR LF line end.
  for (std::size_t i = 0; i < report.size(); ++i) {
    if (report[i] == '\r' && (i + 1 == report.size() || report[i + 1] != '\n')) Fail("lone CR");
    if (report[i] == '\n' && (i == 0 || report[i - 1] != '\r')) Fail("lone LF");
  }
  if (report.back() != '\n') Fail("last report line without CR LF");

  if (outcome.messages.empty()) Fail("a run without a verdict");
  bool success = outcome.messages.front().first == ramivo::kMsgSuccess;
  for (const auto& [text, kind] : outcome.messages) {
    if ((text == ramivo::kMsgSuccess) != (kind == MessageKind::kPlain)) Fail("message kind");
  }
  if (success && outcome.messages.size() != 1) Fail("success box together with warnings");
}

// Paths from `node` to any end, at most `cap`; a node on the current walk path counts 0,
// since a diagram with a reachable cycle is refused before any walk. `count[c]` is -1 while
// unknown, -2 while c is on the walk path.
long PathsFrom(const AnalysisState& state, int node, std::vector<long>& count, long cap) {
  if (node < ramivo::kFirstUserNode || state.DefinitionIndex[node] < 0) return 1;
  if (count[node] == -2) return 0;
  if (count[node] >= 0) return count[node];
  count[node] = -2;
  const ramivo::DefinitionRow& row = state.Definitions[state.DefinitionIndex[node]];
  long paths = PathsFrom(state, row.no_output, count, cap);
  if (paths < cap) paths += PathsFrom(state, row.yes_output, count, cap);
  return count[node] = std::min(paths, cap);
}

// The run with the plain walk, listing and reduction.
std::string ReferenceReport(AnalysisState& state) {
  return ramivo::reference::PlainRunReport(state, InputPath());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  InputPath();
  std::atexit(RemoveInputFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One state lives as long as the process, as the window's does; the other is new.
  static auto reused = std::make_unique<AnalysisState>();
  WriteInput(data, size);
  Outcome first = Run(*reused);
  CheckOutcome(first);
  auto fresh = std::make_unique<AnalysisState>();
  Outcome second = Run(*fresh);
  if (first.report != second.report) Fail("report depends on the runs before");
  if (first.messages != second.messages) Fail("verdict depends on the runs before");

  // The plain walk follows every path, and the plain reduction compares every pair of
  // products: compare only where both stay small. `fresh` holds the tables of the run.
  constexpr long kMaxPaths = 4096;
  std::vector<long> count(ramivo::kNodeCodeLast + 1, -1);
  if (PathsFrom(*fresh, fresh->StartNode, count, kMaxPaths) < kMaxPaths) {
    if (ReferenceReport(*fresh) != first.report) Fail("report differs from the plain algorithms");
  }
  return 0;
}
