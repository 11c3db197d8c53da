// How the window's text view shows a file: the bytes are decoded (UTF-8 when they are valid
// UTF-8, otherwise Windows-1250, the code page of the Czech Windows on which descriptions were
// written) and cut into lines at every CR, LF or CR LF.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>

namespace ramivo::ui {

// The lines of a file's content. A line break at the very end ends the last line and starts
// no new one, so "a\r\n" is one line and an empty content has no line at all.
QStringList FileLines(const QByteArray& bytes);

// The lines of the file at `path`. Throws IoError `Cannot open file "PATH". REASON` when the
// file cannot be opened (a directory included) and `Cannot read file ...` when reading fails.
QStringList ReadFileLines(const std::string& path);

}  // namespace ramivo::ui
