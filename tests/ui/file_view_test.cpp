// Decoding and line cutting of files shown in the window's text view, and the errors of
// reading them.

#include "ui/file_view.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>

#include "core/text_file.h"

namespace ramivo::ui {

class FileViewTest : public QObject {
  Q_OBJECT

 private slots:
  void fileLines_data();
  void fileLines();
  void readErrors_data();
  void readErrors();
};

void FileViewTest::fileLines_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QStringList>("lines");

  QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
  QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
  QTest::newRow("CR alone") << QByteArray("a\rb") << QStringList{"a", "b"};
  QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
  QTest::newRow("mixed, empty lines kept")
      << QByteArray("a\r\n\rb\n\nc") << QStringList{"a", "", "b", "", "c"};
  QTest::newRow("no final break") << QByteArray("a") << QStringList{"a"};
  QTest::newRow("empty") << QByteArray() << QStringList{};
  QTest::newRow("one line break") << QByteArray("\r\n") << QStringList{""};
  QTest::newRow("blanks kept") << QByteArray("  x \n") << QStringList{"  x "};

  QTest::newRow("UTF-8") << QByteArray("Na\xc4\x8d\xc3\xadst") << QStringList{"Načíst"};
  QTest::newRow("UTF-8 byte order mark dropped")
      << QByteArray("\xef\xbb\xbfZobrazit") << QStringList{"Zobrazit"};
  QTest::newRow("Windows-1250") << QByteArray("Na\xe8\xedst\r\nP\xf8\xedli\x9a")
                                << QStringList{"Načíst", "Příliš"};
  QTest::newRow("Windows-1250 letters in 0x80..0xBF")
      << QByteArray("\x8a\x9a\x8e\x9e\x8d\x9d\xa3\xb3\xbc\xbe") << QStringList{"ŠšŽžŤťŁłĽľ"};
  QTest::newRow("undefined Windows-1250 byte") << QByteArray("\x81") << QStringList{"\u0081"};
  // One byte that is not UTF-8 decides for the whole file, valid sequences included.
  QTest::newRow("valid and invalid UTF-8 mixed")
      << QByteArray("\xc4\x8d\n\xe8") << QStringList{"ÄŤ", "č"};
  QTest::newRow("UTF-8 cut off at the end") << QByteArray("ok\xc4") << QStringList{"okÄ"};
  QTest::newRow("overlong UTF-8") << QByteArray("\xc0\xaf") << QStringList{"ŔŻ"};
}

void FileViewTest::fileLines() {
  QFETCH(QByteArray, bytes);
  QFETCH(QStringList, lines);
  QCOMPARE(FileLines(bytes), lines);
}

void FileViewTest::readErrors_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("error");
  QTest::newRow("missing") << "missing.txt" << ENOENT;
  QTest::newRow("directory") << "dir" << EISDIR;
  QTest::newRow("empty name") << "" << ENOENT;
}

void FileViewTest::readErrors() {
  QFETCH(QString, name);
  QFETCH(int, error);
  QTemporaryDir dir;
  QVERIFY(QDir(dir.path()).mkdir("dir"));
  const std::string path = name.isEmpty() ? "" : dir.filePath(name).toStdString();
  try {
    ReadFileLines(path);
    QFAIL("no IoError");
  } catch (const IoError& e) {
    QCOMPARE(QString::fromUtf8(e.what()),
             QStringLiteral("Cannot open file \"%1\". %2")
                 .arg(QString::fromStdString(path), QString::fromUtf8(std::strerror(error))));
  }
}

}  // namespace ramivo::ui

QTEST_APPLESS_MAIN(ramivo::ui::FileViewTest)
#include "file_view_test.moc"
