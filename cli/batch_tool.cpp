#include "cli/batch_tool.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "core/run_driver.h"

namespace ramivo {

namespace {

constexpr const char* kUsage =
    "Usage: ramivo-cli [--help] [--] FILE...\n"
    "\n"
    "Analyses each binary decision diagram description FILE in turn, as the window's\n"
    "\"Načíst nové zadání BDD\" does, and writes its report to FILE.Out (an existing report\n"
    "is kept as FILE.BAK). Every message box of a run is printed as one line.\n"
    "\n"
    "Exit status: 0 when every run succeeded, 1 when a description could not be analysed,\n"
    "2 on a file that could not be read or written, or on bad arguments.\n";

enum ExitStatus { kAllSucceeded = 0, kDescriptionFailed = 1, kEnvironmentFailed = 2 };

// Stands in for the window: the file comes from the command line, boxes become lines.
class BatchPlatform : public Platform {
 public:
  BatchPlatform(std::string file, std::ostream& out) : file_(std::move(file)), out_(out) {}

  std::optional<std::string> PickInputFile() override { return file_; }
  void SetCaption(const std::string&) override {}
  void ShowMessage(const std::string& text, MessageKind kind) override {
    if (kind == MessageKind::kWarning) {
      std::string line = text;
      std::size_t split = line.find("\r\n");
      if (split != std::string::npos) line.replace(split, 2, " ");
      out_ << "Warning: " << line << '\n';
      warned_ = true;
    } else {
      out_ << text << '\n';
    }
  }
  bool warned() const { return warned_; }

 private:
  std::string file_;
  std::ostream& out_;
  bool warned_ = false;
};

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  bool options_done = false;
  for (const std::string& arg : args) {
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "--help") {
      out << kUsage;
      return kAllSucceeded;
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      err << "ramivo-cli: unknown option " << arg << "\n" << kUsage;
      return kEnvironmentFailed;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    err << kUsage;
    return kEnvironmentFailed;
  }

  auto state = std::make_unique<AnalysisState>();
  int status = kAllSucceeded;
  for (const std::string& file : files) {
    if (file.empty()) {
      err << "ramivo-cli: empty file name\n";
      status = kEnvironmentFailed;
      continue;
    }
    BatchPlatform platform(file, out);
    try {
      RunAnalysis(*state, platform);
      if (platform.warned()) status = std::max<int>(status, kDescriptionFailed);
    } catch (const IoError& error) {
      out.flush();
      err << error.what() << '\n';
      status = kEnvironmentFailed;
    }
    out.flush();
  }
  return status;
}

}  // namespace ramivo
