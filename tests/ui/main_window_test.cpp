// The main window driven through its buttons, with FakeDialogs in place of the modal windows.

#include "ui/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "core/run_driver.h"
#include "tests/ui/fake_dialogs.h"
#include "ui/application.h"

namespace ramivo::ui {

namespace {

constexpr char kDescription[] =
    "Start  a  Mid  Hi\r\n"
    "Mid  b  NE  ANO\r\n"
    "Hi  c  Mid  T\r\n"
    "ENDBDD ANO Start\r\n";

const QStringList kDescriptionLines = {"Start  a  Mid  Hi", "Mid  b  NE  ANO", "Hi  c  Mid  T",
                                       "ENDBDD ANO Start"};

QString CannotOpen(const std::string& path) {
  return QStringLiteral("Cannot open file \"%1\". %2.")
      .arg(QString::fromStdString(path), QString::fromUtf8(std::strerror(ENOENT)));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetUpApplication(); }
  void init();
  void cleanup();

  void errorBoxText_data();
  void errorBoxText();
  void startState();
  void controlsKeepGeometryOnResize();
  void controlsInheritWindowFont();
  void backgroundIsButtonFace();
  void keyboardPressesFocusedButton_data();
  void keyboardPressesFocusedButton();
  void runSetsCaption();
  void showAfterRun();
  void showBeforeAnyRun_data();
  void showBeforeAnyRun();
  void showTwiceShowsFileOnce();
  void pathLineFollowsFileContent_data();
  void pathLineFollowsFileContent();
  void cancelledDialogChangesNothing_data();
  void cancelledDialogChangesNothing();
  void inputThatCannotBeOpened();
  void nextRunWorksAfterAFailedOne();
  void closingEndsProgram_data();
  void closingEndsProgram();

 private:
  std::string WriteFile(const QString& name, const QByteArray& bytes);
  // Runs the analysis on `answer` as if it had been chosen in the file dialog.
  void Run(std::optional<std::string> answer);
  void Click(const char* button);
  QPlainTextEdit* Memo();
  QStringList MemoLines();

  std::unique_ptr<QTemporaryDir> dir_;
  FakeDialogs* dialogs_ = nullptr;
  std::unique_ptr<MainWindow> window_;
};

void MainWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  auto dialogs = std::make_unique<FakeDialogs>();
  dialogs_ = dialogs.get();
  window_ = std::make_unique<MainWindow>(std::move(dialogs));
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup() {
  window_.reset();
  dir_.reset();
}

std::string MainWindowTest::WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(dir_->filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write the fixture %s", qPrintable(file.fileName()));
  }
  return QFile::encodeName(file.fileName()).toStdString();
}

void MainWindowTest::Run(std::optional<std::string> answer) {
  dialogs_->answers.push_back(std::move(answer));
  Click("Button1");
}

void MainWindowTest::Click(const char* button) {
  auto* widget = window_->findChild<QPushButton*>(button);
  QVERIFY2(widget, button);
  QTest::mouseClick(widget, Qt::LeftButton);
}

QPlainTextEdit* MainWindowTest::Memo() {
  return window_->findChild<QPlainTextEdit*>("Memo1");
}

QStringList MainWindowTest::MemoLines() {
  return Memo()->toPlainText().split(u'\n');
}

void MainWindowTest::errorBoxText_data() {
  QTest::addColumn<QString>("message");
  QTest::addColumn<QString>("shown");
  QTest::newRow("full stop added") << "Cannot open file \"a\". Permission denied"
                                   << "Cannot open file \"a\". Permission denied.";
  QTest::newRow("empty stays empty") << ""
                                     << "";
  QTest::newRow("ends with a full stop") << "Done."
                                         << "Done.";
  QTest::newRow("ends with '-' (45)") << "a -"
                                      << "a -";
  QTest::newRow("ends with a blank (32)") << "a "
                                          << "a ";
  QTest::newRow("ends with '!' (33)") << "a!"
                                      << "a!";
  QTest::newRow("ends with '/' (47)") << "a/"
                                      << "a/.";
  QTest::newRow("ends with a digit") << "error 2"
                                     << "error 2.";
  QTest::newRow("ends with a letter beyond ASCII") << "soubor je prázdný"
                                                   << "soubor je prázdný.";
}

void MainWindowTest::errorBoxText() {
  QFETCH(QString, message);
  QFETCH(QString, shown);
  QCOMPARE(ErrorBoxText(message), shown);
}

void MainWindowTest::startState() {
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  QCOMPARE(window_->windowTitle(), QStringLiteral("ramivo"));
  QCOMPARE(Memo()->toPlainText(), QString());
  QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Button2"));

  // The Tab order is not the visual order, and the panel never takes the focus. The text view
  // passes Tab on instead of taking it as text.
  for (const char* next : {"Button1", "Button5", "Memo1", "Button3", "Button2"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
  }
  QCOMPARE(Memo()->toPlainText(), QString());
}

void MainWindowTest::controlsKeepGeometryOnResize() {
  QCOMPARE(window_->frameGeometry(), QRect(96, 105, 544, 537));
  QList<QWidget*> controls =
      window_->findChildren<QWidget*>(QRegularExpression("^(Panel|Button|Memo)\\d$"));
  QCOMPARE(controls.size(), 6);
  QList<QRect> before;
  for (QWidget* control : controls) before.append(control->geometry());

  const QSize larger = window_->size() + QSize(200, 150);
  window_->resize(larger);
  QTRY_COMPARE(window_->size(), larger);
  for (qsizetype i = 0; i < controls.size(); ++i) {
    QCOMPARE(controls[i]->geometry(), before[i]);
  }
}

// A style sheet on the window once cut the controls off from the window's font.
void MainWindowTest::controlsInheritWindowFont() {
  const QList<QWidget*> controls = window_->findChildren<QWidget*>();
  QVERIFY(controls.size() >= 6);
  for (QWidget* control : controls) {
    QCOMPARE(control->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(control->font().pointSize(), 8);
  }
}

void MainWindowTest::backgroundIsButtonFace() {
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, Qt::red);
  palette.setColor(QPalette::Button, Qt::blue);
  window_->setPalette(palette);
  const QImage picture = window_->grab().toImage();
  // Beside the panel and on the panel between its controls.
  QCOMPARE(picture.pixelColor(5, 5), QColor(Qt::blue));
  QCOMPARE(picture.pixelColor(30, 30), QColor(Qt::blue));
}

// As on Windows, Enter presses the button that has the focus, not only Space.
void MainWindowTest::keyboardPressesFocusedButton_data() {
  QTest::addColumn<Qt::Key>("key");
  QTest::newRow("Space") << Qt::Key_Space;
  QTest::newRow("Enter") << Qt::Key_Return;
  QTest::newRow("Enter on the keypad") << Qt::Key_Enter;
}

void MainWindowTest::keyboardPressesFocusedButton() {
  QFETCH(Qt::Key, key);
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  auto* show_input = window_->findChild<QPushButton*>("Button3");
  show_input->setFocus();
  QTest::keyClick(show_input, key);
  QCOMPARE(dialogs_->errors, QStringList{CannotOpen("")});
}

void MainWindowTest::runSetsCaption() {
  const std::string input = WriteFile("net.txt", kDescription);
  Memo()->setPlainText("typed by the user");
  Run(input);

  QCOMPARE(window_->windowTitle(), QStringLiteral("ramivo - ") + QString::fromStdString(input));
  QCOMPARE(dialogs_->messages,
           std::vector<FakeDialogs::Message>({{kMsgSuccess, MessageKind::kPlain}}));
  QCOMPARE(dialogs_->errors, QStringList());
  // A run neither clears nor fills the view.
  QCOMPARE(Memo()->toPlainText(), QStringLiteral("typed by the user"));
}

void MainWindowTest::showAfterRun() {
  const std::string input = WriteFile("net.txt", kDescription);
  Run(input);
  QFile report(QString::fromStdString(input + ".Out"));
  QVERIFY(report.open(QIODevice::ReadOnly));
  const QByteArray report_bytes = report.readAll();

  Click("Button5");
  const QStringList report_view = MemoLines();
  QCOMPARE(report_view.size(), report_bytes.count("\r\n") + 1);
  QCOMPARE(report_view.first(), QStringLiteral("Kontrolni vypis zadani BDD s ocislovanymi radky"));
  QCOMPARE(report_view.last(), QString::fromStdString(input + ".Out"));
  QVERIFY(!Memo()->toPlainText().contains(u'\r'));
  // Scrolled to the path line at the end, at its start.
  QVERIFY(Memo()->verticalScrollBar()->maximum() > 0);
  QCOMPARE(Memo()->verticalScrollBar()->value(), Memo()->verticalScrollBar()->maximum());
  QCOMPARE(Memo()->horizontalScrollBar()->value(), 0);

  Click("Button3");
  QCOMPARE(MemoLines(), kDescriptionLines + QStringList{QString::fromStdString(input)});
  QCOMPARE(dialogs_->errors, QStringList());
}

void MainWindowTest::showBeforeAnyRun_data() {
  QTest::addColumn<QString>("button");
  QTest::newRow("input") << "Button3";
  QTest::newRow("report") << "Button5";
}

void MainWindowTest::showBeforeAnyRun() {
  QFETCH(QString, button);
  Click(qPrintable(button));
  QCOMPARE(dialogs_->errors, QStringList{CannotOpen("")});
  QCOMPARE(Memo()->toPlainText(), QString());
  QCOMPARE(window_->windowTitle(), QStringLiteral("ramivo"));

  // The window goes on working after the error box.
  const std::string input = WriteFile("net.txt", kDescription);
  Run(input);
  Click("Button3");
  QCOMPARE(MemoLines().last(), QString::fromStdString(input));
  QCOMPARE(dialogs_->errors.size(), 1);
}

void MainWindowTest::showTwiceShowsFileOnce() {
  const std::string input = WriteFile("net.txt", kDescription);
  Run(input);
  Click("Button3");
  Click("Button3");
  QCOMPARE(MemoLines(), kDescriptionLines + QStringList{QString::fromStdString(input)});
}

// The path line always stands on a line of its own after the file's lines.
void MainWindowTest::pathLineFollowsFileContent_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QStringList>("lines");
  QTest::newRow("no final line break") << QByteArray("Start a NE ANO\r\nENDBDD ANO Start")
                                       << QStringList{"Start a NE ANO", "ENDBDD ANO Start"};
  QTest::newRow("empty file") << QByteArray() << QStringList{};
  QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
  QTest::newRow("empty last line") << QByteArray("x\r\n\r\n") << QStringList{"x", ""};
}

void MainWindowTest::pathLineFollowsFileContent() {
  QFETCH(QByteArray, content);
  QFETCH(QStringList, lines);
  const std::string input = WriteFile("input.txt", content);
  Run(input);
  Click("Button3");
  QCOMPARE(MemoLines(), lines + QStringList{QString::fromStdString(input)});
  QCOMPARE(dialogs_->errors, QStringList());
}

void MainWindowTest::cancelledDialogChangesNothing_data() {
  QTest::addColumn<bool>("cancelled");
  QTest::newRow("cancelled") << true;
  QTest::newRow("empty name") << false;
}

void MainWindowTest::cancelledDialogChangesNothing() {
  QFETCH(bool, cancelled);
  const std::string input = WriteFile("net.txt", kDescription);
  Run(input);
  Click("Button5");
  const QString caption = window_->windowTitle();
  const QString view = Memo()->toPlainText();
  dialogs_->messages.clear();

  Run(cancelled ? std::nullopt : std::optional<std::string>(""));
  QCOMPARE(window_->windowTitle(), caption);
  QCOMPARE(Memo()->toPlainText(), view);
  QCOMPARE(dialogs_->messages, std::vector<FakeDialogs::Message>());
  QCOMPARE(dialogs_->errors, QStringList());
  Click("Button3");
  QCOMPARE(MemoLines().last(), QString::fromStdString(input));
  Click("Button5");
  QCOMPARE(Memo()->toPlainText(), view);
}

void MainWindowTest::inputThatCannotBeOpened() {
  const std::string input = WriteFile("net.txt", kDescription);
  Run(input);
  Click("Button5");
  const QString report_view = Memo()->toPlainText();
  const std::string missing = QFile::encodeName(dir_->filePath("typed.txt")).toStdString();

  Run(missing);
  QCOMPARE(dialogs_->errors, QStringList{CannotOpen(missing)});
  QCOMPARE(window_->windowTitle(), QStringLiteral("ramivo - ") + QString::fromStdString(input));
  QCOMPARE(Memo()->toPlainText(), report_view);

  Click("Button3");
  QCOMPARE(dialogs_->errors, (QStringList{CannotOpen(missing), CannotOpen(missing)}));
  QCOMPARE(Memo()->toPlainText(), report_view);

  Memo()->clear();
  Click("Button5");
  QCOMPARE(Memo()->toPlainText(), report_view);
}

// A run that fails on its files shows the error box and leaves the window working: the next
// run on a sound input gets its caption, its verdict and its report.
void MainWindowTest::nextRunWorksAfterAFailedOne() {
  const std::string blocked = WriteFile("blocked.txt", kDescription);
  QVERIFY(QDir().mkdir(QString::fromStdString(blocked + ".Out")));  // the report cannot be made
  Run(blocked);
  QCOMPARE(dialogs_->errors.size(), 1);
  QVERIFY2(dialogs_->errors[0].startsWith(
               QString::fromStdString("Cannot create file \"" + blocked + ".Out\". ")),
           qPrintable(dialogs_->errors[0]));
  QVERIFY(dialogs_->messages.empty());

  const std::string input = WriteFile("net.txt", kDescription);
  Run(input);
  QCOMPARE(dialogs_->errors.size(), 1);
  QCOMPARE(dialogs_->messages,
           std::vector<FakeDialogs::Message>({{kMsgSuccess, MessageKind::kPlain}}));
  QCOMPARE(window_->windowTitle(), QStringLiteral("ramivo - ") + QString::fromStdString(input));
  Click("Button5");
  QCOMPARE(MemoLines().last(), QString::fromStdString(input + ".Out"));
  QCOMPARE(MemoLines().first(), QStringLiteral("Kontrolni vypis zadani BDD s ocislovanymi radky"));
}

void MainWindowTest::closingEndsProgram_data() {
  QTest::addColumn<bool>("by_konec");
  QTest::newRow("Konec") << true;
  QTest::newRow("close button") << false;
}

// Closing the window ends the event loop and so the program, by "Konec" and by the window's
// own close button alike.
void MainWindowTest::closingEndsProgram() {
  QFETCH(bool, by_konec);
  QTimer::singleShot(0, window_.get(), [this, by_konec] {
    if (by_konec) {
      Click("Button2");
    } else {
      // What the window system sends when its close button is pressed.
      window_->windowHandle()->close();
    }
  });
  // Fails the test instead of hanging when the window stays open.
  QTimer guard;
  guard.setSingleShot(true);
  connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
  guard.start(10'000);
  QCOMPARE(QApplication::exec(), 0);
  QVERIFY(!window_->isVisible());
}

}  // namespace ramivo::ui

QTEST_MAIN(ramivo::ui::MainWindowTest)
#include "main_window_test.moc"
