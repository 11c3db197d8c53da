#include <QApplication>

#include "ui/application.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  ramivo::ui::SetUpApplication();
  ramivo::ui::MainWindow window;
  window.show();
  return QApplication::exec();
}
