// The window with the real Qt file dialog and message boxes. Each modal window is answered
// from a script as soon as it is shown, the way a user would: typing a name and pressing
// "Open", or pressing OK.

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>

#include "ui/application.h"
#include "ui/main_window.h"

namespace ramivo::ui {

namespace {

// Answers each modal dialog shown, in turn, with the next step of the script. A dialog shown
// when the script is used up is rejected and counted, so a test cannot hang on it.
class ModalScript : public QObject {
 public:
  using Step = std::function<void(QDialog*)>;

  ModalScript() { qApp->installEventFilter(this); }
  ~ModalScript() override { qApp->removeEventFilter(this); }

  void Then(Step step) { steps_.push_back(std::move(step)); }
  bool Done() const { return steps_.empty() && unexpected_ == 0; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(object);
    if (event->type() == QEvent::Show && dialog && dialog->isWindow()) {
      // Answer from the dialog's own event loop, once it runs.
      QTimer::singleShot(0, dialog, [this, dialog] { Answer(dialog); });
    }
    return false;
  }

 private:
  void Answer(QDialog* dialog) {
    if (steps_.empty()) {
      ++unexpected_;
      dialog->reject();
      return;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step(dialog);
  }

  std::deque<Step> steps_;
  int unexpected_ = 0;
};

struct BoxSeen {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString caption;
  QString text;
  QList<QAbstractButton*>::size_type buttons = 0;
  bool modal = false;
};

ModalScript::Step PressOk(BoxSeen& seen) {
  return [&seen](QDialog* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (!box) return dialog->reject();
    seen = {box->icon(), box->windowTitle(), box->text(), box->buttons().size(), box->isModal()};
    box->button(QMessageBox::Ok)->click();
  };
}

struct FileDialogSeen {
  bool modal = false;
  QFileDialog::FileMode mode = QFileDialog::ExistingFiles;
  QStringList filters;
  QStringList offered;
};

// Types `name` into the name field and presses "Open".
ModalScript::Step Choose(const QString& name, FileDialogSeen& seen) {
  return [name, &seen](QDialog* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    if (!files) return dialog->reject();
    seen = {files->isModal(), files->fileMode(), files->nameFilters(), files->selectedFiles()};
    files->findChild<QLineEdit*>("fileNameEdit")->setText(name);
    files->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
  };
}

}  // namespace

class QtDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpApplication(); }
  void realDialogsAndBoxes();
};

void QtDialogsTest::realDialogsAndBoxes() {
  QTemporaryDir dir;
  const QString input = dir.filePath("net.txt");
  const QString empty = dir.filePath("empty.txt");
  {
    QFile file(input);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("Start  a  Mid  Hi\r\nMid  b  NE  ANO\r\nHi  c  Mid  T\r\nENDBDD ANO Start\r\n");
    QFile empty_file(empty);
    QVERIFY(empty_file.open(QIODevice::WriteOnly));
  }
  MainWindow window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  auto* load = window.findChild<QPushButton*>("Button1");

  // A chosen file: success box, plain, with the application title.
  ModalScript script;
  FileDialogSeen dialog_seen;
  BoxSeen box_seen;
  script.Then(Choose(input, dialog_seen));
  script.Then(PressOk(box_seen));
  load->click();
  QVERIFY(script.Done());
  QVERIFY(dialog_seen.modal);
  QCOMPARE(dialog_seen.mode, QFileDialog::AnyFile);
  QVERIFY2(dialog_seen.filters.isEmpty() || dialog_seen.filters == QStringList{"All Files (*)"},
           qPrintable(dialog_seen.filters.join(';')));
  QCOMPARE(box_seen.icon, QMessageBox::NoIcon);
  QCOMPARE(box_seen.caption, QStringLiteral("ramivo.exe"));
  QCOMPARE(box_seen.text, QStringLiteral("Výpočet úspěšně ukončen"));
  QCOMPARE(box_seen.buttons, 1);
  QVERIFY(box_seen.modal);
  QCOMPARE(window.windowTitle(), "ramivo - " + input);

  // The dialog offers the last choice again; a typed name of a file that does not exist is
  // returned, and the run's error appears in the error box.
  script.Then(Choose("typed.txt", dialog_seen));
  script.Then(PressOk(box_seen));
  load->click();
  QVERIFY(script.Done());
  QCOMPARE(dialog_seen.offered, QStringList{input});
  QCOMPARE(box_seen.icon, QMessageBox::Critical);
  QCOMPARE(box_seen.caption, QStringLiteral("ramivo.exe"));
  QCOMPARE(box_seen.text, QStringLiteral("Cannot open file \"%1\". %2.")
                              .arg(dir.filePath("typed.txt"), std::strerror(ENOENT)));
  QCOMPARE(box_seen.buttons, 1);
  QCOMPARE(window.windowTitle(), "ramivo - " + input);

  // A warning box: warning icon, caption "Warning", the CR LF as a line break.
  script.Then(Choose(empty, dialog_seen));
  script.Then(PressOk(box_seen));
  load->click();
  QVERIFY(script.Done());
  QCOMPARE(box_seen.icon, QMessageBox::Warning);
  QCOMPARE(box_seen.caption, QStringLiteral("Warning"));
  QCOMPARE(box_seen.text, QStringLiteral("Vstupni soubor je prázdný.\nVýpočet končí."));
  QCOMPARE(box_seen.buttons, 1);

  // Cancelled: no box, nothing changes.
  script.Then([](QDialog* dialog) { dialog->reject(); });
  load->click();
  QVERIFY(script.Done());
  QCOMPARE(window.windowTitle(), "ramivo - " + empty);

  // The window still works: the report of the last run that opened its input.
  window.findChild<QPushButton*>("Button5")->click();
  QVERIFY(script.Done());
  QCOMPARE(window.findChild<QPlainTextEdit*>("Memo1")->toPlainText().split(u'\n').last(),
           empty + ".Out");
}

}  // namespace ramivo::ui

QTEST_MAIN(ramivo::ui::QtDialogsTest)
#include "qt_dialogs_test.moc"
