#include <QApplication>

#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(ramivo::ui::kApplicationTitle);
  ramivo::ui::MainWindow window;
  window.show();
  return QApplication::exec();
}
