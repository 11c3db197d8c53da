// Saves a picture of the main window after a run on DESCRIPTION with the report shown:
//   ramivo_window_screenshot DESCRIPTION OUTPUT.png
// The file dialog is answered with DESCRIPTION and the message boxes are skipped; the rest is
// the real window on the platform it is started on (Xvfb for the picture in docs/).

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "tests/ui/fake_dialogs.h"
#include "ui/application.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DESCRIPTION OUTPUT.png\n", argv[0]);
    return 2;
  }
  ramivo::ui::SetUpApplication();
  auto dialogs = std::make_unique<ramivo::ui::FakeDialogs>();
  dialogs->answers.push_back(std::string(argv[1]));
  ramivo::ui::FakeDialogs& answered = *dialogs;
  ramivo::ui::MainWindow window(std::move(dialogs));
  window.show();

  int status = 1;
  QTimer::singleShot(500, &window, [&] {
    window.findChild<QPushButton*>("Button1")->click();
    window.findChild<QPushButton*>("Button5")->click();
    if (!answered.errors.isEmpty()) {
      std::fprintf(stderr, "%s\n", qPrintable(answered.errors.join('\n')));
      return QApplication::exit(1);
    }
    QTimer::singleShot(500, &window, [&] {
      const QPixmap picture = window.screen()->grabWindow(window.winId());
      status = picture.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
      QApplication::quit();
    });
  });
  QApplication::exec();
  return status;
}
