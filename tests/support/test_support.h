// Shared by the tests: a platform that records what a run shows, temporary folders, and
// whole-file reading and writing.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/analysis_state.h"
#include "core/platform.h"

namespace ramivo::testing {

// Gives the run a fixed file and records the caption and every message.
class RecordingPlatform : public Platform {
 public:
  explicit RecordingPlatform(std::optional<std::string> file) : file_(std::move(file)) {}

  std::optional<std::string> PickInputFile() override { return file_; }
  void SetCaption(const std::string& text) override { captions.push_back(text); }
  void ShowMessage(const std::string& text, MessageKind kind) override {
    messages.emplace_back(text, kind);
  }
  std::unique_ptr<ByteSink> CreateReport(const std::string& path) override {
    return make_sink ? make_sink(path) : Platform::CreateReport(path);
  }

  std::vector<std::string> captions;
  std::vector<std::pair<std::string, MessageKind>> messages;
  // When set, replaces the report file (for failing or in-memory reports).
  std::function<std::unique_ptr<ByteSink>(const std::string&)> make_sink;

 private:
  std::optional<std::string> file_;
};

// A fresh folder below the system's temporary folder, removed with its content at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `content` to `name` in the folder and returns the full path.
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::string path_;
};

// Resets `state` and points its report at `report`, as a run does before the first line.
void StartRunInMemory(AnalysisState& state, std::string& report);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// Lines of a report without their CR LF; fails the test on a line not ended by CR LF.
std::vector<std::string> ReportLines(const std::string& report);

// ramivo-cli's exit status and output for `args`, run in this process.
struct BatchOutcome {
  int status;
  std::string out, err;
};
BatchOutcome RunBatchCaptured(const std::vector<std::string>& args);

// The outcome of one run on `description` in a fresh folder.
struct RunResult {
  std::string report;  // the whole report file
  std::vector<std::pair<std::string, MessageKind>> messages;
};
RunResult RunOn(AnalysisState& state, const std::string& description);

}  // namespace ramivo::testing
