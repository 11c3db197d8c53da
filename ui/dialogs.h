// The modal windows of the program: the file-open dialog, the message boxes and the error
// box. The window reaches them only through this interface, so that tests can answer them
// without a modal event loop; QtDialogs is the real one.
#pragma once

#include <QString>
#include <optional>
#include <string>

#include "core/platform.h"

namespace ramivo::ui {

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // The chosen path (in the file system's encoding), or nothing when cancelled.
  virtual std::optional<std::string> PickInputFile() = 0;
  // `text` is UTF-8; a CR LF in it starts a second line.
  virtual void ShowMessage(const std::string& text, MessageKind kind) = 0;
  // The box for an error that left an event handler; `text` is already complete.
  virtual void ShowError(const QString& text) = 0;
};

}  // namespace ramivo::ui
