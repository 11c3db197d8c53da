#include "core/run_driver.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "products/product_listing.h"
#include "products/product_reduction.h"
#include "reader/line_parser.h"
#include "search/search_paths.h"

namespace ramivo {

namespace {

// One blank, LineCount, a colon and one blank, written in front of the line as read.
void WriteEchoLine(AnalysisState& state) {
  char echo[16];  // written beside the line, not joined with it
  echo[0] = ' ';
  char* end = std::to_chars(echo + 1, echo + sizeof echo - 2, state.LineCount).ptr;
  *end++ = ':';
  *end++ = ' ';
  state.Report.WriteLine(std::string_view(echo, end - echo), state.Line);
}

// A rerun must not destroy the last result: an existing report becomes InputName.BAK,
// replacing an older file of that name.
void KeepPreviousReport(const std::string& input_name, const std::string& report_name) {
  struct stat info;
  if (::lstat(report_name.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return;
  if (std::rename(report_name.c_str(), (input_name + ".BAK").c_str()) != 0) {
    throw MakeIoError("rename", report_name, errno);
  }
}

void WriteResult(AnalysisState& state) {
  state.Report.WriteLine("Kontrolni vypis - nalezene souciny:");
  WriteProducts(state);
  ReduceProducts(state);
  state.Report.WriteLine("Vysledek - neredundantni souciny, uvedene vzestupne:");
  WriteProducts(state);
}

// Runs the analysis on the open files; returns the messages of the verdict, in order.
std::vector<std::pair<const char*, MessageKind>> Analyse(AnalysisState& state, Platform& platform) {
  std::vector<std::pair<const char*, MessageKind>> verdict;
  auto warn = [&verdict](const char* text) { verdict.emplace_back(text, MessageKind::kWarning); };

  state.Report.WriteLine("Kontrolni vypis zadani BDD s ocislovanymi radky");
  state.Report.WriteLine("vyznam = jmeno uzlu, podminka, vystup_pro_NE, vystup_pro_ANO :");
  ReadDescription(state);

  state.MayCompute = state.FormalError == 0 && state.SizeError == 0 && state.StructureError == 0;
  if (state.MayCompute) {
    SearchPaths(state, [&platform](const AnalysisState& searched) {
      platform.BeforeEnumeration(searched);
    });
    if (state.FormalError == 0 && state.StructureError == 0) {
      WriteResult(state);
      verdict.emplace_back(kMsgSuccess, MessageKind::kPlain);
      return verdict;
    }
    if (state.FormalError == kErrNoPathToEnd) warn(kMsgNoPath);
    if (state.FormalError == kErrStoreFull) warn(kMsgTooManyProducts);
    if (state.StructureError > 0) warn(kMsgStructure);
    return verdict;
  }
  if (state.FormalError == kErrEmptyInput) warn(kMsgEmptyInput);
  if (state.FormalError > 0) warn(kMsgFormal);
  if (state.SizeError > 0) warn(kMsgSize);
  if (state.StructureError > 0) warn(kMsgStructure);
  return verdict;
}

}  // namespace

void ReadDescription(AnalysisState& state) {
  while (state.Input.ReadLine(state.Line)) {
    if (state.Line.empty()) continue;
    ++state.LineCount;
    WriteEchoLine(state);
    ParseLine(state);
  }
  CheckUndefinedNodes(state);
  if (state.LineCount == 0) state.FormalError = kErrEmptyInput;
}

void RunAnalysis(AnalysisState& state, Platform& platform, const std::string& caption_base) {
  ResetState(state);
  std::optional<std::string> chosen = platform.PickInputFile();
  if (!chosen || chosen->empty()) return;
  state.InputName = *chosen;

  std::vector<std::pair<const char*, MessageKind>> verdict;
  try {
    state.Input.Open(state.InputName);
    platform.SetCaption(caption_base + " - " + state.InputName);
    state.ReportName = state.InputName + ".Out";
    KeepPreviousReport(state.InputName, state.ReportName);
    state.Report.Attach(platform.CreateReport(state.ReportName));
    verdict = Analyse(state, platform);
    state.Input.Close();
    // The report is complete on disk before the verdict is shown, and a failing last write
    // is reported instead of the verdict.
    state.Report.Close();
  } catch (...) {
    state.Input.Close();
    try {
      state.Report.Close();
    } catch (const IoError&) {
      // The first failure is the one reported.
    }
    throw;
  }
  for (const auto& [text, kind] : verdict) platform.ShowMessage(text, kind);
}

}  // namespace ramivo
