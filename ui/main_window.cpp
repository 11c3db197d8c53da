#include "ui/main_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <exception>
#include <optional>
#include <utility>

#include "core/run_driver.h"
#include "ui/file_view.h"
#include "ui/qt_dialogs.h"
#include "ui_main_window.h"

namespace ramivo::ui {

QString ErrorBoxText(const QString& message) {
  if (message.isEmpty() || message.back().unicode() <= u'.') return message;
  return message + u'.';
}

// What a run sees of the window: its dialogs and its caption.
class MainWindow::RunPlatform final : public Platform {
 public:
  explicit RunPlatform(MainWindow& window) : window_(window) {}

  std::optional<std::string> PickInputFile() override { return window_.dialogs_->PickInputFile(); }
  void SetCaption(const std::string& text) override {
    window_.setWindowTitle(QString::fromStdString(text));
  }
  void ShowMessage(const std::string& text, MessageKind kind) override {
    window_.dialogs_->ShowMessage(text, kind);
  }

 private:
  MainWindow& window_;
};

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs)
    : ui_(std::make_unique<Ui::Form1>()),
      dialogs_(std::move(dialogs)),
      platform_(std::make_unique<RunPlatform>(*this)),
      state_(std::make_unique<AnalysisState>()) {
  ui_->setupUi(this);
  if (!dialogs_) dialogs_ = std::make_unique<QtDialogs>(this);

  // The layout gives the window's rectangle on the screen, frame included, as the property
  // outerGeometry. Qt places a window by its frame but sizes it by its client area, so the
  // position is set here and the size when the window is first shown (FitOuterSize).
  move(property("outerGeometry").toRect().topLeft());

  connect(ui_->Button1, &QPushButton::clicked, this,
          [this] { RunHandler(&MainWindow::Button1Click); });
  connect(ui_->Button2, &QPushButton::clicked, this,
          [this] { RunHandler(&MainWindow::Button2Click); });
  connect(ui_->Button3, &QPushButton::clicked, this,
          [this] { RunHandler(&MainWindow::Button3Click); });
  connect(ui_->Button5, &QPushButton::clicked, this,
          [this] { RunHandler(&MainWindow::Button5Click); });

  RunHandler(&MainWindow::FormCreate);
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event) {
  RunHandler(&MainWindow::FormClose);
  QWidget::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!outer_size_fitted_) {
    outer_size_fitted_ = true;
    FitOuterSize();
  }
}

// The client size in the layout (536 x 510) is the outer size less a frame of 4 pixels on
// each side and a title bar of 19 pixels; it holds until the frame is known. A window system
// that reports its frame only after the window has appeared gets the outer size as the client
// size, and one without frames (offscreen, a bare X server) has client and outer size equal.
void MainWindow::FitOuterSize() {
  const QSize frame = frameGeometry().size() - geometry().size();
  resize(property("outerGeometry").toRect().size() - frame);
}

void MainWindow::RunHandler(Handler handler) {
  try {
    (this->*handler)();
  } catch (const std::exception& error) {
    dialogs_->ShowError(ErrorBoxText(QString::fromUtf8(error.what())));
  }
}

void MainWindow::FormCreate() {
  CaptionBase = QString::fromUtf8(kProgramName);
  setWindowTitle(CaptionBase);
}

void MainWindow::FormClose() {}

void MainWindow::Button1Click() {
  RunAnalysis(*state_, *platform_, CaptionBase.toStdString());
}

void MainWindow::Button2Click() {
  close();
}

void MainWindow::Button3Click() {
  ShowFileWithPathLine(state_->InputName);
}

void MainWindow::Button5Click() {
  ShowFileWithPathLine(state_->ReportName);
}

// Reads the whole file before the view is touched, so a file that cannot be read leaves the
// view as it was. The content is replaced, never added to. The view then shows its end, where
// the path line and a report's result stand, as a text view does after a line is appended.
void MainWindow::ShowFileWithPathLine(const std::string& path) {
  QStringList lines = ReadFileLines(path);
  lines.append(QFile::decodeName(QByteArray::fromStdString(path)));
  ui_->Memo1->setPlainText(lines.join(u'\n'));
  ui_->Memo1->moveCursor(QTextCursor::End);
  ui_->Memo1->moveCursor(QTextCursor::StartOfBlock);
  ui_->Memo1->verticalScrollBar()->setValue(ui_->Memo1->verticalScrollBar()->maximum());
}

}  // namespace ramivo::ui
