#include "cli/batch_tool.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "cli/dot_export.h"
#include "cli/svg_render.h"
#include "core/run_driver.h"
#include "products/pla_export.h"
#include "search/path_count.h"

namespace ramivo {

namespace {

constexpr const char* kUsage =
    "Usage: ramivo-cli [--help] [--count] [--dot] [--svg] [--pla] [--] FILE...\n"
    "\n"
    "Analyses each binary decision diagram description FILE in turn, as the window's\n"
    "\"Načíst nové zadání BDD\" does, and writes its report to FILE.Out (an existing report\n"
    "is kept as FILE.BAK). Every message box of a run is printed as one line.\n"
    "\n"
    "Options may be combined and apply to every FILE; none of them changes the report.\n"
    "  --count  Before the paths are walked, print the exact numbers of paths from the start\n"
    "           node that end in the sought kind of end, in the other kind, and in a dead end\n"
    "           (\"NIC\", \"ENDBDD\"), as one line ahead of the run's message lines:\n"
    "             Paths: sought S, other O, dead D\n"
    "           A diagram that cannot be counted gives instead one of\n"
    "             Paths: not counted, the description has errors\n"
    "             Paths: not counted, no start node\n"
    "             Paths: not counted, a cycle\n"
    "  --dot    Write FILE.dot, the diagram as drawn, in Graphviz's DOT language: no-branch\n"
    "           dashed, yes-branch solid, the ends as boxes (the sought one framed twice), an\n"
    "           arrow into the start node, nodes that cannot be reached grey, nodes on no\n"
    "           path to the sought end dotted. Only when the description was read without\n"
    "           errors; otherwise nothing is written.\n"
    "  --svg    As --dot, and render FILE.svg from it with Graphviz's dot, which must be\n"
    "           installed.\n"
    "  --pla    Write FILE.pla, the reduced products in PLA format (.i, .o 1, .ilb with the\n"
    "           condition names, .ob with the sought end, .p, one cube per product, .e), for\n"
    "           a minimiser to work on. Only for runs that end with the success message.\n"
    "  --help   Print this text.\n"
    "\n"
    "Exit status: 0 when every run succeeded, 1 when a description could not be analysed,\n"
    "2 on a file that could not be read or written (FILE.dot, FILE.svg and FILE.pla\n"
    "included), or on bad arguments.\n";

enum ExitStatus { kAllSucceeded = 0, kDescriptionFailed = 1, kEnvironmentFailed = 2 };

struct Options {
  bool count = false;
  bool dot = false;
  bool svg = false;
  bool pla = false;
};

// The --count line of a run whose search has gone as far as it could.
std::string CountLine(const AnalysisState& state) {
  if (!state.MayCompute) return "Paths: not counted, the description has errors";
  if (state.StartNode == 0) return "Paths: not counted, no start node";
  std::optional<PathCounts> counts = CountPaths(state);
  if (!counts) return "Paths: not counted, a cycle";
  return "Paths: sought " + counts->sought.ToDecimal() + ", other " + counts->other.ToDecimal() +
         ", dead " + counts->dead.ToDecimal();
}

// Stands in for the window: the file comes from the command line, boxes become lines.
class BatchPlatform : public Platform {
 public:
  BatchPlatform(std::string file, const AnalysisState& state, bool count, std::ostream& out)
      : file_(std::move(file)), state_(state), count_pending_(count), out_(out) {}

  std::optional<std::string> PickInputFile() override { return file_; }
  void SetCaption(const std::string&) override {}
  // The count comes before the walk, which may be long; a run that never reaches the walk
  // prints it ahead of its first message, when its search is over.
  void BeforeEnumeration(const AnalysisState& state) override { PrintPendingCount(state); }
  void ShowMessage(const std::string& text, MessageKind kind) override {
    PrintPendingCount(state_);
    if (kind == MessageKind::kWarning) {
      std::string line = text;
      std::size_t split = line.find("\r\n");
      if (split != std::string::npos) line.replace(split, 2, " ");
      out_ << "Warning: " << line << '\n';
      warned_ = true;
    } else {
      out_ << text << '\n';
      succeeded_ = true;
    }
  }
  bool warned() const { return warned_; }
  bool succeeded() const { return succeeded_ && !warned_; }

 private:
  void PrintPendingCount(const AnalysisState& state) {
    if (!count_pending_) return;
    count_pending_ = false;
    out_ << CountLine(state) << '\n';
    out_.flush();
  }

  std::string file_;
  const AnalysisState& state_;
  bool count_pending_;
  std::ostream& out_;
  bool warned_ = false;
  bool succeeded_ = false;
};

void WriteExports(const AnalysisState& state, const std::string& file, const Options& options,
                  bool succeeded) {
  if ((options.dot || options.svg) && state.MayCompute) {
    WriteDiagramDot(state, file + ".dot");
    if (options.svg) RenderSvg(file + ".dot", file + ".svg");
  }
  if (options.pla && succeeded) WriteProductsPla(state, file + ".pla");
}

}  // namespace

int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  Options options;
  bool options_done = false;
  for (const std::string& arg : args) {
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && arg == "--help") {
      out << kUsage;
      return kAllSucceeded;
    } else if (!options_done && arg == "--count") {
      options.count = true;
    } else if (!options_done && arg == "--dot") {
      options.dot = true;
    } else if (!options_done && arg == "--svg") {
      options.svg = true;
    } else if (!options_done && arg == "--pla") {
      options.pla = true;
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
    BatchPlatform platform(file, *state, options.count, out);
    try {
      RunAnalysis(*state, platform);
      if (platform.warned()) status = std::max<int>(status, kDescriptionFailed);
      WriteExports(*state, file, options, platform.succeeded());
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
