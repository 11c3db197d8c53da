// Failures of the environment during a run: the input cannot be opened or read, the report
// cannot be created, the previous report cannot be kept, writing stops part way. Every case
// must end in an IoError that names the file and the reason, with both files closed, the
// report holding what was written before the failure, the previous report still on disk, and
// the next run (or the next FILE of ramivo-cli) working as if nothing had happened.
//
// The tests run as root in CI, and permission bits do not stop root. The conditions used
// here fail for root too: a directory where a file is expected, a path below a regular
// file, a name longer than the system allows, /proc/self/mem (it opens, but reading its
// first page, which is never mapped, fails with EIO), a sink that fails after a number of
// bytes, /dev/full, and, where the sandbox lets the test mount one, a read-only and a small
// full tmpfs.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/batch_tool.h"
#include "core/run_driver.h"
#include "support/test_support.h"

namespace ramivo {
namespace {

using testing::ReadFile;
using testing::RecordingPlatform;
using testing::TempDir;
using testing::WriteFile;

const std::string kPreviousReport = "the previous report\r\n";

std::string ExamplePath() {
  return std::string(RAMIVO_TEST_DATA) + "/../../examples/start_mid_hi.txt";
}

// The report of the bundled example from a run in a new state and a folder of its own.
std::string ExampleReport() {
  auto state = std::make_unique<AnalysisState>();
  return testing::RunOn(*state, ReadFile(ExamplePath())).report;
}

int OpenFileDescriptors() {
  int count = 0;
  DIR* folder = ::opendir("/proc/self/fd");
  if (folder == nullptr) return -1;
  while (const dirent* entry = ::readdir(folder)) {
    if (entry->d_name[0] != '.') ++count;
  }
  ::closedir(folder);
  return count;
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

std::string ErrorText(const char* verb, const std::string& path, int errno_value) {
  return std::string("Cannot ") + verb + " file \"" + path + "\". " + std::strerror(errno_value);
}

// Runs the analysis on `platform` and returns the message of the IoError it must throw.
std::string FailingRun(AnalysisState& state, RecordingPlatform& platform) {
  try {
    RunAnalysis(state, platform);
  } catch (const IoError& error) {
    return error.what();
  }
  ADD_FAILURE() << "the run ended without an IoError";
  return "";
}

// After a failed run in `state`, the next run on a sound description must give the whole
// report and the success box.
void ExpectNextRunSucceeds(AnalysisState& state) {
  TempDir dir;
  std::string input = dir.Write("next.txt", ReadFile(ExamplePath()));
  RecordingPlatform platform(input);
  RunAnalysis(state, platform);
  EXPECT_EQ(ReadFile(input + ".Out"), ExampleReport());
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].first, kMsgSuccess);
}

// ramivo-cli given the failing FILE and then a sound one: the error on standard error, the
// second FILE analysed, exit status 2.
void ExpectBatchGoesOn(const std::string& failing_input, const std::string& message) {
  TempDir dir;
  std::string good = dir.Write("good.txt", ReadFile(ExamplePath()));
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunBatch({failing_input, good}, out, err), 2);
  EXPECT_EQ(err.str(), message + "\n");
  EXPECT_EQ(out.str(), std::string(kMsgSuccess) + "\n");
  EXPECT_EQ(ReadFile(good + ".Out"), ExampleReport());
}

// A tmpfs mounted over a folder for the length of a test; needs CAP_SYS_ADMIN.
class ScratchMount {
 public:
  ScratchMount(const std::string& path, const char* options) : path_(path) {
    ::mkdir(path.c_str(), 0755);
    mounted_ = ::mount("tmpfs", path.c_str(), "tmpfs", 0, options) == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~ScratchMount() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  ScratchMount(const ScratchMount&) = delete;
  ScratchMount& operator=(const ScratchMount&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }
  bool MakeReadOnly() {
    return ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string path_;
  bool mounted_ = false;
  std::string error_;
};

// --- The input cannot be opened or read -------------------------------------------------

struct InputCase {
  const char* label;
  // Creates the failing input in `dir` and returns its path.
  std::function<std::string(const TempDir& dir)> make_input;
  const char* verb;
  int reason;
  // Whether a previous report can lie beside the input (it must stay untouched).
  bool previous_report;
};

TEST(EnvironmentFailure, InputCannotBeOpenedOrRead) {
  const std::vector<InputCase> cases = {
      {"missing", [](const TempDir& dir) { return dir.path() + "/absent.txt"; }, "open", ENOENT,
       true},
      {"a directory",
       [](const TempDir& dir) {
         std::string folder = dir.path() + "/folder.txt";
         ::mkdir(folder.c_str(), 0755);
         return folder;
       },
       "open", EISDIR, true},
      {"below a regular file",
       [](const TempDir& dir) { return dir.Write("plain.txt", "A x NE ANO\n") + "/net.txt"; },
       "open", ENOTDIR, false},
      {"name too long", [](const TempDir& dir) { return dir.path() + "/" + std::string(300, 'n'); },
       "open", ENAMETOOLONG, false},
      {"reading fails", [](const TempDir&) { return std::string("/proc/self/mem"); }, "read", EIO,
       false},
  };
  for (const InputCase& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    std::string input = c.make_input(dir);
    if (c.previous_report) WriteFile(input + ".Out", kPreviousReport);

    auto state = std::make_unique<AnalysisState>();
    RecordingPlatform platform(input);
    // The report of an input in /proc cannot lie beside it; it goes to the test's folder.
    std::string report = dir.path() + "/report.Out";
    platform.make_sink = [&report](const std::string&) { return CreateFileSink(report); };
    int descriptors = OpenFileDescriptors();

    EXPECT_EQ(FailingRun(*state, platform), ErrorText(c.verb, input, c.reason));
    EXPECT_EQ(OpenFileDescriptors(), descriptors);
    EXPECT_FALSE(state->Input.IsOpen());
    EXPECT_FALSE(state->Report.IsOpen());
    EXPECT_TRUE(platform.messages.empty());
    if (c.reason == EIO) {
      // The header was written before the first read failed.
      EXPECT_EQ(ReadFile(report),
                "Kontrolni vypis zadani BDD s ocislovanymi radky\r\n"
                "vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :\r\n");
    } else {
      EXPECT_FALSE(Exists(report));
    }
    if (c.previous_report) {
      EXPECT_EQ(ReadFile(input + ".Out"), kPreviousReport);
      EXPECT_FALSE(Exists(input + ".BAK"));
    }
    ExpectNextRunSucceeds(*state);
    // Through ramivo-cli the report of /proc/self/mem would be created in /proc, which fails
    // before the read; the other inputs fail there as they do above.
    if (c.reason != EIO) ExpectBatchGoesOn(input, ErrorText(c.verb, input, c.reason));
  }
}

// --- The report cannot be created, or the previous one cannot be kept -------------------

struct ReportCase {
  const char* label;
  // Prepares net.txt.Out and net.txt.BAK beside the input.
  std::function<void(const std::string& input)> prepare;
  const char* verb;
  int reason;
  const char* failing_suffix;  // the file the message names: input + this
};

TEST(EnvironmentFailure, ReportCannotBeCreatedOrPreviousReportCannotBeKept) {
  const std::vector<ReportCase> cases = {
      {"report name taken by a folder",
       [](const std::string& input) {
         ::mkdir((input + ".Out").c_str(), 0755);
         WriteFile(input + ".Out/keep", "user data");
       },
       "create", EISDIR, ".Out"},
      {"backup name taken by a non-empty folder",
       [](const std::string& input) {
         WriteFile(input + ".Out", kPreviousReport);
         ::mkdir((input + ".BAK").c_str(), 0755);
         WriteFile(input + ".BAK/keep", "user data");
       },
       "rename", EISDIR, ".Out"},
  };
  for (const ReportCase& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    std::string input = dir.Write("net.txt", ReadFile(ExamplePath()));
    c.prepare(input);
    auto state = std::make_unique<AnalysisState>();
    RecordingPlatform platform(input);
    int descriptors = OpenFileDescriptors();

    std::string message = ErrorText(c.verb, input + c.failing_suffix, c.reason);
    EXPECT_EQ(FailingRun(*state, platform), message);
    EXPECT_EQ(OpenFileDescriptors(), descriptors);
    EXPECT_FALSE(state->Input.IsOpen());
    EXPECT_FALSE(state->Report.IsOpen());
    EXPECT_TRUE(platform.messages.empty());
    // Nothing the user had is gone.
    if (c.verb == std::string("rename")) {
      EXPECT_EQ(ReadFile(input + ".Out"), kPreviousReport);
      EXPECT_EQ(ReadFile(input + ".BAK/keep"), "user data");
    } else {
      EXPECT_EQ(ReadFile(input + ".Out/keep"), "user data");
    }
    ExpectNextRunSucceeds(*state);
    ExpectBatchGoesOn(input, message);
  }
}

// A folder the user may not write to. Root writes anyway, so this runs only for other users;
// the read-only mount below covers the same failure for root.
TEST(EnvironmentFailure, ReadOnlyFolderForOrdinaryUsers) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  std::string folder = dir.path() + "/locked";
  ::mkdir(folder.c_str(), 0755);
  std::string input = folder + "/net.txt";
  WriteFile(input, ReadFile(ExamplePath()));
  ::chmod(folder.c_str(), 0555);
  auto state = std::make_unique<AnalysisState>();
  RecordingPlatform platform(input);
  int descriptors = OpenFileDescriptors();
  std::string message = ErrorText("create", input + ".Out", EACCES);
  EXPECT_EQ(FailingRun(*state, platform), message);
  EXPECT_EQ(OpenFileDescriptors(), descriptors);
  ExpectBatchGoesOn(input, message);
  ::chmod(folder.c_str(), 0755);  // lets TempDir remove it
}

TEST(EnvironmentFailure, ReadOnlyFileSystem) {
  TempDir dir;
  std::string folder = dir.path() + "/ro";
  ScratchMount mount(folder, "size=1m");
  if (!mount.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
  std::string fresh = folder + "/fresh.txt";  // never analysed: the report must be created
  std::string rerun = folder + "/rerun.txt";  // analysed before: the report must be renamed
  WriteFile(fresh, ReadFile(ExamplePath()));
  WriteFile(rerun, ReadFile(ExamplePath()));
  WriteFile(rerun + ".Out", kPreviousReport);
  ASSERT_TRUE(mount.MakeReadOnly()) << std::strerror(errno);

  struct Case {
    std::string input;
    std::string message;
  };
  for (const Case& c : {Case{fresh, ErrorText("create", fresh + ".Out", EROFS)},
                        Case{rerun, ErrorText("rename", rerun + ".Out", EROFS)}}) {
    SCOPED_TRACE(c.input);
    auto state = std::make_unique<AnalysisState>();
    RecordingPlatform platform(c.input);
    int descriptors = OpenFileDescriptors();
    EXPECT_EQ(FailingRun(*state, platform), c.message);
    EXPECT_EQ(OpenFileDescriptors(), descriptors);
    EXPECT_TRUE(platform.messages.empty());
    ExpectNextRunSucceeds(*state);
    ExpectBatchGoesOn(c.input, c.message);
  }
  EXPECT_FALSE(Exists(fresh + ".Out"));
  EXPECT_EQ(ReadFile(rerun + ".Out"), kPreviousReport);
}

// --- Writing fails part way ---------------------------------------------------------------

// A chain of `depth` nodes, each leading to the next by both branches, the last to ANO by
// both: 2^depth products.
std::string ManyPathDescription(int depth) {
  std::string text;
  for (int i = 1; i <= depth; ++i) {
    std::string next = i < depth ? "N" + std::to_string(i + 1) : "ANO";
    text += "N" + std::to_string(i) + " c" + std::to_string(i) + " " + next + " " + next + "\n";
  }
  return text + "ENDBDD ANO N1\n";
}

// Stands for a disk that fills: the first `room` bytes reach the file, then writing fails
// with ENOSPC. With `fail_close` every byte fits but closing fails with EIO.
class FillingDisk : public ByteSink {
 public:
  FillingDisk(const std::string& path, std::size_t room, bool fail_close)
      : path_(path), file_(CreateFileSink(path)), room_(room), fail_close_(fail_close) {}

  void Write(const char* data, std::size_t size) override {
    std::size_t fits = std::min(size, room_);
    file_->Write(data, fits);
    room_ -= fits;
    if (fits < size) throw MakeIoError("write", path_, ENOSPC);
  }
  void Close() override {
    file_->Close();
    if (fail_close_) throw MakeIoError("close", path_, EIO);
  }

 private:
  std::string path_;
  std::unique_ptr<ByteSink> file_;
  std::size_t room_;
  bool fail_close_;
};

TEST(EnvironmentFailure, WritingFailsPartWay) {
  // 16384 paths: a report of some MB, larger than a write buffer should be, so that failures
  // hit writes made while the run goes on as well as the last one at the end.
  const std::string description = ManyPathDescription(14);
  std::string complete;
  {
    auto state = std::make_unique<AnalysisState>();
    complete = testing::RunOn(*state, description).report;
  }
  ASSERT_GT(complete.size(), 2u << 20);

  struct Case {
    const char* label;
    std::size_t room;
    bool fail_close;
  };
  const std::vector<Case> cases = {
      {"nothing fits", 0, false},
      {"fails inside the first line", 5, false},
      {"fails in the echo", 300, false},
      {"fails a third of the way", complete.size() / 3, false},
      {"fails half way", complete.size() / 2 + 1, false},
      {"the last byte does not fit", complete.size() - 1, false},
      {"every byte fits, closing fails", complete.size(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    std::string input = dir.Write("net.txt", description);
    std::string report = input + ".Out";
    WriteFile(report, kPreviousReport);
    auto state = std::make_unique<AnalysisState>();
    RecordingPlatform platform(input);
    platform.make_sink = [&c](const std::string& path) {
      return std::make_unique<FillingDisk>(path, c.room, c.fail_close);
    };
    int descriptors = OpenFileDescriptors();

    EXPECT_EQ(FailingRun(*state, platform),
              c.fail_close ? ErrorText("close", report, EIO) : ErrorText("write", report, ENOSPC));
    EXPECT_EQ(OpenFileDescriptors(), descriptors);
    EXPECT_FALSE(state->Input.IsOpen());
    EXPECT_FALSE(state->Report.IsOpen());
    // No verdict after a failure: the window shows the error instead.
    EXPECT_TRUE(platform.messages.empty());
    // What reached the disk is the report as far as it went.
    EXPECT_EQ(ReadFile(report), complete.substr(0, c.room));
    EXPECT_EQ(ReadFile(input + ".BAK"), kPreviousReport);
    ExpectNextRunSucceeds(*state);
  }
}

// The kernel's own failures instead of a stand-in: the device that is always full.
TEST(EnvironmentFailure, WritingToAFullDevice) {
  TempDir dir;
  std::string input = dir.Write("net.txt", ManyPathDescription(11));
  auto state = std::make_unique<AnalysisState>();
  RecordingPlatform platform(input);
  platform.make_sink = [](const std::string&) { return CreateFileSink("/dev/full"); };
  int descriptors = OpenFileDescriptors();
  EXPECT_EQ(FailingRun(*state, platform), ErrorText("write", "/dev/full", ENOSPC));
  EXPECT_EQ(OpenFileDescriptors(), descriptors);
  EXPECT_TRUE(platform.messages.empty());
  ExpectNextRunSucceeds(*state);
}

// A small file system that fills while the report is written.
TEST(EnvironmentFailure, FileSystemFillsWhileWriting) {
  TempDir dir;
  std::string folder = dir.path() + "/small";
  ScratchMount mount(folder, "size=256k");
  if (!mount.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();

  const std::string description = ManyPathDescription(11);
  std::string complete;
  {
    auto state = std::make_unique<AnalysisState>();
    complete = testing::RunOn(*state, description).report;
  }
  std::string input = folder + "/net.txt";
  WriteFile(input, description);
  WriteFile(input + ".Out", kPreviousReport);
  // Leave two pages free: the report gets that far, then the disk is full.
  struct statvfs space;
  ASSERT_EQ(::statvfs(folder.c_str(), &space), 0);
  std::size_t free_bytes = space.f_bavail * space.f_frsize;
  ASSERT_GT(free_bytes, 16384u);
  WriteFile(folder + "/filler", std::string(free_bytes - 8192, 'x'));

  auto state = std::make_unique<AnalysisState>();
  RecordingPlatform platform(input);
  int descriptors = OpenFileDescriptors();
  EXPECT_EQ(FailingRun(*state, platform), ErrorText("write", input + ".Out", ENOSPC));
  EXPECT_EQ(OpenFileDescriptors(), descriptors);
  EXPECT_TRUE(platform.messages.empty());
  std::string written = ReadFile(input + ".Out");
  EXPECT_GT(written.size(), 0u);
  EXPECT_LT(written.size(), complete.size());
  EXPECT_EQ(written, complete.substr(0, written.size()));
  EXPECT_EQ(ReadFile(input + ".BAK"), kPreviousReport);
  ExpectNextRunSucceeds(*state);
  ExpectBatchGoesOn(input, ErrorText("write", input + ".Out", ENOSPC));
}

}  // namespace
}  // namespace ramivo
