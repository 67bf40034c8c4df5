#include "windows/TMxBinEditor.h"

#include <fcntl.h>
#include <unistd.h>

#include <QScrollBar>

#include <cstdio>

#include "QtTestMain.h"

namespace tonbo {
namespace {

double ResidentMb() {
  long pages = 0, resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f && std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  if (f) std::fclose(f);
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

}  // namespace

class TMxBinEditorTest : public QObject {
  Q_OBJECT

 private slots:
  void fourGigabyteFileOpensAtOnceWithFlatMemory() {
    const std::string path = test::MakeTempDir("bin") + "big.bin";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
    QVERIFY(fd >= 0);
    const off_t size = (off_t{4} << 30) + 5;
    QCOMPARE(ftruncate(fd, size), 0);
    QCOMPARE(pwrite(fd,
                    "\x8E\xCA"
                    "END",
                    5, size - 5),
             ssize_t(5));
    close(fd);
    TMxBinEditor view;
    view.resize(600, 400);
    view.show();
    const double before = ResidentMb();
    QVERIFY(view.LoadFromFile(path));
    QCOMPARE(view.DataSize(), uint64_t(size));
    view.grab();
    view.ScrollLines(view.verticalScrollBar()->maximum());
    view.grab();
    QVERIFY(ResidentMb() - before < 32);
    const uint64_t last = uint64_t(size) / 16;
    QCOMPARE(view.LineText(last), QStringLiteral("100000000  8E CA 45 4E 44  写END"));
    QVERIFY(view.TopLine() > 0);
    QVERIFY(!view.CopyToClipboard());  // everything is far too much for the clipboard
    view.SetSelection(uint64_t(size) - 3, uint64_t(size));
    QVERIFY(view.CopyToClipboard());
    QCOMPARE(view.HexOf(view.SelStart(), view.SelEnd()), QStringLiteral("45 4E 44"));
  }

  void charSetOutOfRangeIsIgnoredAndUnreadableFileGivesEmptyView() {
    TMxBinEditor view;
    view.SetCharCode(3);
    view.SetCharCode(7);
    QCOMPARE(view.CharCode(), 3);
    QVERIFY(!view.LoadFromFile("/no/such/file"));
    QCOMPARE(view.DataSize(), uint64_t(0));
    QVERIFY(view.LineText(0).isEmpty());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TMxBinEditorTest)
#include "TMxBinEditorTest.moc"
