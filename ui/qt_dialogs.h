// The real modal windows: Qt's own file dialog (OpenDialog1) and message boxes, each modal
// over the main window.
#pragma once

#include <QPointer>
#include <QString>

#include "ui/dialogs.h"

class QFileDialog;
class QWidget;

namespace ramivo::ui {

class QtDialogs final : public Dialogs {
 public:
  // `window` parents the dialogs and must outlive this object.
  explicit QtDialogs(QWidget* window);

  std::optional<std::string> PickInputFile() override;
  void ShowMessage(const std::string& text, MessageKind kind) override;
  void ShowError(const QString& text) override;

 private:
  QWidget* window_;
  // Created at its first use; owned by the window, like the form's other components.
  QPointer<QFileDialog> OpenDialog1;
  QString last_chosen_;
};

}  // namespace ramivo::ui
