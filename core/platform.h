// What a run needs from its surroundings: the choice of the input file, the window caption
// and message boxes. The window, the batch tool and the tests each supply their own.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/text_file.h"

namespace ramivo {

struct AnalysisState;

enum class MessageKind {
  kWarning,  // warning icon, caption "Warning"
  kPlain,    // no icon, the application title as caption
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The path of the chosen input file; nothing (or an empty path) when cancelled.
  virtual std::optional<std::string> PickInputFile() = 0;
  virtual void SetCaption(const std::string& text) = 0;
  // Modal message with one OK button. `text` is UTF-8; a CR LF in it splits two lines.
  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
  // Where the report's bytes go; a file by default. Tests put a failing sink here.
  virtual std::unique_ptr<ByteSink> CreateReport(const std::string& path) {
    return CreateFileSink(path);
  }
  // Called once per run, when the diagram has passed every check and its paths are about to
  // be walked: StartNode, SearchYes, the folded Definitions and VisitCount are final here.
  virtual void BeforeEnumeration(const AnalysisState&) {}
};

}  // namespace ramivo
