// Program start, shared by main() and the tests: the application title and the fonts that
// stand in for the window's font where it is not installed.
#pragma once

namespace ramivo::ui {

// The application title: the caption of the plain message box and of the error box.
inline constexpr char kApplicationTitle[] = "ramivo.exe";

// Call once the QApplication exists, before the main window is created.
void SetUpApplication();

}  // namespace ramivo::ui
