// The main window Form1: four buttons and a text view. It owns the analysis state for the
// whole program; "Načíst nové zadání BDD" runs the analysis, the two Show buttons show the
// input and the report of the last run, "Konec" closes the window and so ends the program.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "core/analysis_state.h"
#include "ui/dialogs.h"

class QCloseEvent;
class QShowEvent;

namespace Ui {
class Form1;
}

namespace ramivo::ui {

// The text of the error box for an exception's message: the message and a full stop, unless
// the message is empty or already ends with a character whose code is 46 ('.') or less.
QString ErrorBoxText(const QString& message);

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // Without `dialogs` the window uses the real Qt dialogs (QtDialogs).
  explicit MainWindow(std::unique_ptr<Dialogs> dialogs = nullptr);
  ~MainWindow() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  class RunPlatform;
  using Handler = void (MainWindow::*)();

  void FormCreate();
  void FormClose();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button5Click();

  // Runs an event handler. An exception leaving it is shown in the error box, and the window
  // goes on working: every handler goes through here.
  void RunHandler(Handler handler);
  void ShowFileWithPathLine(const std::string& path);
  void FitOuterSize();

  std::unique_ptr<Ui::Form1> ui_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<RunPlatform> platform_;
  // On the heap: the state holds every table at its limit, megabytes in all.
  std::unique_ptr<AnalysisState> state_;
  QString CaptionBase;
  bool outer_size_fitted_ = false;
};

}  // namespace ramivo::ui
