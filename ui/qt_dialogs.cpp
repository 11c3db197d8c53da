#include "ui/qt_dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace ramivo::ui {

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
  QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
  // Paths and descriptions may hold '<' or '&'; the text is never markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

QtDialogs::QtDialogs(QWidget* window) : window_(window) {}

std::optional<std::string> QtDialogs::PickInputFile() {
  if (!OpenDialog1) {
    OpenDialog1 = new QFileDialog(window_);
    OpenDialog1->setObjectName("OpenDialog1");
    // Qt's own dialog behaves the same on every desktop; in particular it returns a typed
    // name of a file that does not exist (AnyFile), which the run then fails to open.
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setFileMode(QFileDialog::AnyFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
  }
  if (!last_chosen_.isEmpty()) OpenDialog1->selectFile(last_chosen_);
  if (OpenDialog1->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = OpenDialog1->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  last_chosen_ = chosen.first();
  return QFile::encodeName(last_chosen_).toStdString();
}

void QtDialogs::ShowMessage(const std::string& text, MessageKind kind) {
  const QString lines =
      QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (kind == MessageKind::kWarning) {
    ShowBox(window_, QMessageBox::Warning, QStringLiteral("Warning"), lines);
  } else {
    ShowBox(window_, QMessageBox::NoIcon, QCoreApplication::applicationName(), lines);
  }
}

void QtDialogs::ShowError(const QString& text) {
  ShowBox(window_, QMessageBox::Critical, QCoreApplication::applicationName(), text);
}

}  // namespace ramivo::ui
