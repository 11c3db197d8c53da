#include "support/test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/batch_tool.h"
#include "core/run_driver.h"

namespace ramivo::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "ramivo-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  std::string file = path_ + "/" + name;
  WriteFile(file, content);
  return file;
}

void StartRunInMemory(AnalysisState& state, std::string& report) {
  ResetState(state);
  state.Report.Attach(CreateStringSink(report));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> ReportLines(const std::string& report) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < report.size()) {
    std::size_t end = report.find("\r\n", begin);
    if (end == std::string::npos) {
      ADD_FAILURE() << "report ends without CR LF: " << report.substr(begin);
      lines.push_back(report.substr(begin));
      break;
    }
    lines.push_back(report.substr(begin, end - begin));
    begin = end + 2;
  }
  return lines;
}

BatchOutcome RunBatchCaptured(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = RunBatch(args, out, err);
  return {status, out.str(), err.str()};
}

RunResult RunOn(AnalysisState& state, const std::string& description) {
  TempDir dir;
  std::string input = dir.Write("net.txt", description);
  RecordingPlatform platform(input);
  RunAnalysis(state, platform);
  return RunResult{ReadFile(input + ".Out"), platform.messages};
}

}  // namespace ramivo::testing
