// ramivo-bench: times the analysis on the large families (bench/family_generator.h).
//
//   ramivo-bench [--start-value N] [--repeat R] [--families abcdef] [--dir DIR] [--small]
//                [--plain-ladder L]
//
// The parent writes the descriptions of families (a) to (e) into DIR (a fresh temporary
// folder unless given) and runs every family in a child process of its own (this program,
// started again), so that the peak memory (VmHWM) of each family is its own. Every time is
// the minimum over R repetitions within that one process; the ratios of the targets are
// taken between such minima measured side by side. --small runs the families at reduced size
// (a smoke test; the figures mean nothing). See bench/README.md.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/family_generator.h"
#include "core/run_driver.h"
#include "products/product_listing.h"
#include "products/product_reduction.h"
#include "reader/line_parser.h"
#include "reference/plain_reduction.h"
#include "reference/plain_search.h"
#include "search/search_paths.h"

extern char** environ;

namespace ramivo::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Options {
  std::uint64_t start_value = kDefaultStartValue;
  int repeat = 5;
  std::string families = "abcdef";
  std::string dir;
  bool small = false;
  int plain_ladder = 20;
  // Child mode.
  char child_family = 0;
  std::string file;
};

std::string Describe(char family, const Options& options) {
  const std::uint64_t start_value = options.start_value;
  if (options.small) return ReducedSizeFamily(family, start_value);
  switch (family) {
    case 'a':
      return ChainFamily(start_value);
    case 'b':
      return FullStoreFamily(start_value);
    case 'c':
      return RandomFamily(start_value);
    case 'd':
      return DeadWoodFamily(start_value);
    case 'e':
      return FullTablesFamily(start_value);
  }
  return {};
}

// VmHWM of this process in KiB.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

long FileBytes(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

// Whether two files hold the same bytes; compared piece by piece, so that the comparison
// adds nothing to the peak memory of the run.
bool SameBytes(const std::string& a, const std::string& b) {
  std::ifstream in_a(a, std::ios::binary);
  std::ifstream in_b(b, std::ios::binary);
  if (!in_a || !in_b) return false;
  char piece_a[1 << 14];
  char piece_b[1 << 14];
  for (;;) {
    in_a.read(piece_a, sizeof piece_a);
    in_b.read(piece_b, sizeof piece_b);
    if (in_a.gcount() != in_b.gcount()) return false;
    if (std::memcmp(piece_a, piece_b, static_cast<std::size_t>(in_a.gcount())) != 0) return false;
    if (!in_a || !in_b) return !in_a && !in_b;
  }
}

class QuietPlatform : public Platform {
 public:
  explicit QuietPlatform(std::string file) : file_(std::move(file)) {}
  std::optional<std::string> PickInputFile() override { return file_; }
  void SetCaption(const std::string&) override {}
  void ShowMessage(const std::string& text, MessageKind) override { last_messages.push_back(text); }
  std::vector<std::string> last_messages;

 private:
  std::string file_;
};

class NullSink : public ByteSink {
 public:
  void Write(const char*, std::size_t) override {}
  void Close() override {}
};

// Runs `command` (argv) and waits for it; false when it did not exit with 0.
bool RunProgram(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Every timed repetition starts on a file system without dirty pages, so that neither a run
// nor cp pays for writing back the files of the repetition before.
template <typename F>
double MinMs(int repeat, F&& body) {
  double best = 1e300;
  for (int r = 0; r < repeat; ++r) {
    ::sync();
    auto start = Clock::now();
    body();
    best = std::min(best, Ms(Clock::now() - start));
  }
  return best;
}

// Steps 1 to 6 of RunAnalysis: reset, input opened, report created, header written.
void StartRun(AnalysisState& state, const std::string& file) {
  ResetState(state);
  state.InputName = file;
  state.Input.Open(file);
  state.Report.WriteLine("Kontrolni vypis zadani BDD s ocislovanymi radky");
  state.Report.WriteLine("vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :");
}

bool Clear(const AnalysisState& state) {
  return state.FormalError == 0 && state.SizeError == 0 && state.StructureError == 0;
}

struct PhaseTimes {
  double reading = 1e300, search = 1e300, reduction = 1e300, listing = 1e300;
  double start = 1e300;  // reset, input opened, report created (not a phase of its own)
  int found = 0;
  int kept = 0;
};

// One run with the driver's steps timed one by one; the report goes to `report`.
void TimedPhases(AnalysisState& state, const std::string& file, const std::string& report,
                 PhaseTimes& best) {
  auto start = Clock::now();
  state.Report.Create(report);
  StartRun(state, file);
  auto t0 = Clock::now();
  ReadDescription(state);
  auto t1 = Clock::now();
  bool list = false;
  if (Clear(state)) {
    SearchPaths(state);
    list = state.FormalError == 0 && state.StructureError == 0;
  }
  auto t2 = Clock::now();
  if (list) {
    state.Report.WriteLine("Kontrolni vypis - nalezene souciny:");
    WriteProducts(state);
    best.found = state.ProductWords / state.RecordWords;
  }
  auto t3 = Clock::now();
  if (list) ReduceProducts(state);
  auto t4 = Clock::now();
  if (list) {
    state.Report.WriteLine("Vysledek - neredundantni souciny, uvedene vzestupne:");
    WriteProducts(state);
    best.kept = state.ProductWords / state.RecordWords;
  }
  state.Input.Close();
  state.Report.Close();
  auto t5 = Clock::now();
  best.reading = std::min(best.reading, Ms(t1 - t0));
  best.search = std::min(best.search, Ms(t2 - t1));
  best.reduction = std::min(best.reduction, Ms(t4 - t3));
  best.listing = std::min(best.listing, Ms(t3 - t2) + Ms(t5 - t4));
  best.start = std::min(best.start, Ms(t0 - start));
}

void PrintRow(char family, const PhaseTimes& t, double whole, long report_bytes, long peak_kib,
              const std::string& products) {
  auto cell = [](double ms) {
    char text[32];
    if (ms >= 1e299) {
      std::snprintf(text, sizeof text, "%10s", "-");
    } else {
      std::snprintf(text, sizeof text, "%10.3f", ms);
    }
    return std::string(text);
  };
  char line[512];
  std::snprintf(line, sizeof line, "ROW %-16s%s%s%s%s%s %8.1f %11ld  %s", FamilyTitle(family),
                cell(t.reading).c_str(), cell(t.search).c_str(), cell(t.reduction).c_str(),
                cell(t.listing).c_str(), cell(whole).c_str(), peak_kib / 1024.0, report_bytes,
                products.c_str());
  std::cout << line << '\n';
}

void Target(const std::string& text) {
  std::cout << "TARGET " << text << '\n';
}

std::string Ratio(double a, double b) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", a / b);
  return text;
}

std::string Fixed(double value, int digits = 3) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

int RunFileFamily(const Options& options) {
  const char family = options.child_family;
  const std::string& file = options.file;
  const std::string report = file + ".Out";
  const std::string phases_report = file + ".phases.Out";
  auto state = std::make_unique<AnalysisState>();
  QuietPlatform platform(file);

  RunAnalysis(*state, platform);  // warm-up; leaves the report for cp
  double whole = MinMs(options.repeat, [&] {
    platform.last_messages.clear();
    RunAnalysis(*state, platform);
  });
  PhaseTimes phases;
  for (int r = 0; r < options.repeat; ++r) {
    ::sync();
    TimedPhases(*state, file, phases_report, phases);
  }
  if (!SameBytes(phases_report, report)) {
    std::cerr << "ramivo-bench: the timed phases wrote another report than RunAnalysis\n";
    return 1;
  }
  double read_only = MinMs(options.repeat * 3, [&] {
    TextReader reader;
    reader.Open(file);
    std::string line;
    std::size_t bytes = 0;
    while (reader.ReadLine(line)) bytes += line.size();
    if (bytes == 0) std::abort();
  });
  // The same lines read and echoed into the report as the driver does, without ParseLine
  // (creating and closing the report not counted, as in the reading phase).
  const std::string echo_report = file + ".echo.Out";
  double read_echo = 1e300;
  for (int r = 0; r < options.repeat * 3; ++r) {
    TextWriter writer;
    writer.Create(echo_report);
    TextReader reader;
    auto start = Clock::now();
    reader.Open(file);
    std::string line;
    int count = 0;
    while (reader.ReadLine(line)) {
      if (line.empty()) continue;
      char digits[16] = " ";
      char* end = std::to_chars(digits + 1, digits + sizeof digits - 2, ++count).ptr;
      *end++ = ':';
      *end++ = ' ';
      writer.WriteLine(std::string_view(digits, end - digits), line);
    }
    read_echo = std::min(read_echo, Ms(Clock::now() - start));
    writer.Close();
  }
  const std::string copy = file + ".copy";
  double cp = MinMs(options.repeat, [&] {
    if (!RunProgram({"cp", report, copy})) std::abort();
  });
  const long report_bytes = FileBytes(report);

  std::string products =
      std::to_string(phases.found) + " found, " + std::to_string(phases.kept) + " kept";
  if (phases.found == 0 && !platform.last_messages.empty()) {
    products = "verdict: " +
               platform.last_messages.back().substr(0, platform.last_messages.back().find("\r\n"));
  }
  long peak = PeakKiB();
  PrintRow(family, phases, whole, report_bytes, peak, products);

  const std::string title = FamilyTitle(family);
  int status = 0;
  if (family >= 'a' && family <= 'c') {
    Target(title + ": whole run " + Fixed(whole) + " ms / cp of the " +
           std::to_string(report_bytes) + "-byte report " + Fixed(cp) +
           " ms = " + Ratio(whole, cp) + " (target <= 2)");
  }
  if (family == 'e') {
    Target(title + ": reading " + Fixed(phases.reading) + " ms / reading the file's lines " +
           "without lookup " + Fixed(read_only) + " ms = " + Ratio(phases.reading, read_only) +
           " (target <= 3)");
    Target(title + ": reading " + Fixed(phases.reading) + " ms / reading the lines and writing " +
           "their echo, without parsing " + Fixed(read_echo) +
           " ms = " + Ratio(phases.reading, read_echo));
  }
  if (family == 'd') {
    Target(title + ": search " + Fixed(phases.search) + " ms (target < 1000 ms)");
    if (options.plain_ladder > 0) {
      // The plain walk at a reduced ladder depth, against the pruned one on the same file.
      const std::string reduced = file + ".plain.txt";
      std::ofstream(reduced, std::ios::binary)
          << DeadWoodFamily(options.start_value, 8, options.plain_ladder);
      std::string plain_report;
      std::string pruned_report;
      double plain = 0;
      double pruned = 0;
      for (int pass = 0; pass < 2; ++pass) {
        std::string& text = pass == 0 ? plain_report : pruned_report;
        state->Report.Attach(CreateStringSink(text));
        StartRun(*state, reduced);
        ReadDescription(*state);
        auto start = Clock::now();
        if (pass == 0) {
          reference::PlainSearchPaths(*state);
        } else {
          SearchPaths(*state);
        }
        (pass == 0 ? plain : pruned) = Ms(Clock::now() - start);
        state->Input.Close();
        state->Report.Close();
      }
      const double scale = static_cast<double>(std::uint64_t{1} << (40 - options.plain_ladder));
      Target(title + ", ladder of " + std::to_string(options.plain_ladder) +
             " levels: plain walk " + Fixed(plain, 1) + " ms, pruned walk " + Fixed(pruned) +
             " ms, reports " + (plain_report == pruned_report ? "identical" : "DIFFERENT") +
             "; the plain walk on the full ladder of 40 levels: about " +
             Fixed(plain * scale / 3.6e6, 0) + " h");
      if (plain_report != pruned_report) status = 1;
    }
  }
  Target(title + ": peak memory " + Fixed(peak / 1024.0, 1) + " MiB (target < 64 MiB)");
  return status;
}

int RunReductionFamily(const Options& options) {
  const DirectStore store = options.small ? ReductionFamily(options.start_value, 2000)
                                          : ReductionFamily(options.start_value);
  auto state = std::make_unique<AnalysisState>();
  auto plain_state = std::make_unique<AnalysisState>();
  const int products = static_cast<int>(store.words.size()) / 2;

  PhaseTimes phases;
  double whole = 1e300;
  const std::string report = options.file;
  for (int r = 0; r < options.repeat; ++r) {
    auto t0 = Clock::now();
    FillStore(*state, store);
    state->Report.Create(report);
    state->Report.WriteLine("Kontrolni vypis - nalezene souciny:");
    WriteProducts(*state);
    auto t1 = Clock::now();
    ReduceProducts(*state);
    auto t2 = Clock::now();
    state->Report.WriteLine("Vysledek - neredundantni souciny, uvedene vzestupne:");
    WriteProducts(*state);
    state->Report.Close();
    auto t3 = Clock::now();
    phases.reduction = std::min(phases.reduction, Ms(t2 - t1));
    phases.listing = std::min(phases.listing, Ms(t1 - t0) + Ms(t3 - t2));
    whole = std::min(whole, Ms(t3 - t0));
  }
  phases.found = products;
  phases.kept = state->ProductWords / state->RecordWords;

  double plain = MinMs(std::min(options.repeat, 3), [&] {
    FillStore(*plain_state, store);
    reference::PlainReduceProducts(*plain_state);
  });
  const bool identical =
      plain_state->ProductWords == state->ProductWords &&
      std::equal(state->Products.begin(), state->Products.begin() + state->ProductWords,
                 plain_state->Products.begin());

  long peak = PeakKiB();
  PrintRow('f', phases, whole, FileBytes(report), peak,
           std::to_string(phases.found) + " filled, " + std::to_string(phases.kept) + " kept");
  Target(std::string(FamilyTitle('f')) + ": plain pair loop " + Fixed(plain) + " ms / reduction " +
         Fixed(phases.reduction) + " ms = " + Ratio(plain, phases.reduction) +
         " (target >= 10); results " + (identical ? "identical" : "DIFFERENT"));
  Target(std::string(FamilyTitle('f')) + ": peak memory " + Fixed(peak / 1024.0, 1) +
         " MiB (target < 64 MiB)");
  return identical ? 0 : 1;
}

std::string Trim(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string CpuModel() {
  std::ifstream info("/proc/cpuinfo");
  std::string line;
  while (std::getline(info, line)) {
    if (line.rfind("model name", 0) == 0) return Trim(line.substr(line.find(':') + 2));
  }
  return "unknown CPU";
}

int RunParent(const Options& options, const std::string& self, const std::string& command) {
  std::string dir = options.dir;
  const bool own_dir = dir.empty();  // removed at the end
  if (own_dir) {
    std::string pattern = "/tmp/ramivo-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      return 2;
    }
    dir = pattern;
  } else {
    ::mkdir(dir.c_str(), 0777);
  }
  std::time_t now = std::time(nullptr);
  char date[64];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S UTC", std::gmtime(&now));
  std::cout << "ramivo-bench: " << command << "\n"
            << "date: " << date << "\n"
            << "machine: " << ::sysconf(_SC_NPROCESSORS_ONLN) << " cores, " << CpuModel() << "\n"
            << "start_value: " << options.start_value << ", every time the minimum of "
            << options.repeat << " runs in the family's own process"
            << (options.small ? ", SMALL sizes" : "") << "\nfiles: " << dir
            << (own_dir ? " (removed at the end)" : "") << "\n\n";

  std::vector<std::string> rows;
  std::vector<std::string> targets;
  int status = 0;
  for (char family : options.families) {
    std::string file = dir + "/family_" + family + ".txt";
    if (family != 'f') {
      std::ofstream(file, std::ios::binary) << Describe(family, options);
    } else {
      file = dir + "/family_f.Out";
    }
    std::vector<std::string> args = {self,
                                     "--child",
                                     std::string(1, family),
                                     "--file",
                                     file,
                                     "--start-value",
                                     std::to_string(options.start_value),
                                     "--repeat",
                                     std::to_string(options.repeat),
                                     "--plain-ladder",
                                     std::to_string(options.plain_ladder)};
    if (options.small) args.push_back("--small");
    std::string out_file = dir + "/family_" + family + ".result";
    std::string quoted;
    for (const std::string& arg : args) quoted += "'" + arg + "' ";
    int rc = std::system((quoted + "> '" + out_file + "'").c_str());
    if (rc != 0) {
      std::cerr << "ramivo-bench: family " << family << " failed\n";
      status = 1;
    }
    std::ifstream result(out_file);
    std::string line;
    while (std::getline(result, line)) {
      if (line.rfind("ROW ", 0) == 0) rows.push_back(line.substr(4));
      if (line.rfind("TARGET ", 0) == 0) targets.push_back(line.substr(7));
    }
  }
  char header[256];
  std::snprintf(header, sizeof header, "%-16s%10s%10s%10s%10s%10s %8s %11s  %s", "family",
                "read ms", "search ms", "reduce ms", "list ms", "whole ms", "peak MiB", "report B",
                "products");
  std::cout << header << "\n" << std::string(std::strlen(header) + 12, '-') << "\n";
  for (const std::string& row : rows) std::cout << row << "\n";
  std::cout << "\nTargets (ratios of minima measured in the same process):\n";
  for (const std::string& target : targets) std::cout << "  " << target << "\n";
  if (own_dir) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  return status;
}

int Usage() {
  std::cerr << "usage: ramivo-bench [--start-value N] [--repeat R] [--families abcdef] [--dir DIR]"
               " [--small] [--plain-ladder L]\n";
  return 2;
}

}  // namespace
}  // namespace ramivo::bench

int main(int argc, char** argv) {
  using namespace ramivo::bench;
  Options options;
  std::string command = "ramivo-bench";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::exit(Usage());
      }
      return argv[++i];
    };
    if (arg == "--start-value") {
      options.start_value = std::stoull(value());
    } else if (arg == "--repeat") {
      options.repeat = std::max(1, std::stoi(value()));
    } else if (arg == "--families") {
      options.families = value();
    } else if (arg == "--dir") {
      options.dir = value();
    } else if (arg == "--small") {
      options.small = true;
    } else if (arg == "--plain-ladder") {
      options.plain_ladder = std::stoi(value());
    } else if (arg == "--child") {
      options.child_family = value()[0];
    } else if (arg == "--file") {
      options.file = value();
    } else {
      return Usage();
    }
  }
  for (int i = 1; i < argc; ++i) command += std::string(" ") + argv[i];
  if (options.plain_ladder > 40) options.plain_ladder = 40;
  if (options.small && options.plain_ladder > 12) options.plain_ladder = 12;
  try {
    if (options.child_family == 'f') return RunReductionFamily(options);
    if (options.child_family != 0) return RunFileFamily(options);
    char self[4096];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
      std::perror("readlink /proc/self/exe");
      return 2;
    }
    self[length] = 0;
    return RunParent(options, self, command);
  } catch (const std::exception& error) {
    std::cerr << "ramivo-bench: " << error.what() << "\n";
    return 2;
  }
}
