#include "ui/application.h"

#include <QApplication>
#include <QFont>

namespace ramivo::ui {

void SetUpApplication() {
  QApplication::setApplicationName(kApplicationTitle);
  // The window's font is the Windows bitmap font "MS Sans Serif". Where it is missing the
  // system's default sans serif is usually wider, and the button captions no longer fit;
  // fonts of the same widths as its TrueType successor come first.
  QFont::insertSubstitutions("MS Sans Serif",
                             {"Microsoft Sans Serif", "Arial", "Liberation Sans", "Arimo"});
}

}  // namespace ramivo::ui
