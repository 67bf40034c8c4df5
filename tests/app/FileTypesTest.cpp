#include "app/FileTypes.h"

#include "QtTestMain.h"
#include "windows/WidgetDialogs.h"

namespace tonbo {

class FileTypesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    InstallJapanese();
    SetUpIconTheme();
  }

  void knownTypesComeWithJapaneseDescriptionAndIcon() {
    const std::string dir = test::MakeTempDir();
    test::WriteFile(dir + "memo.txt", "hello\n");
    test::WriteFile(dir + "photo.png", "\x89PNG\r\n\x1a\n");
    MimeFileTypeSource source;
    for (const char* name : {"memo.txt", "photo.png"}) {
      FileTypeInfo info = source.Fetch(dir + name);
      QVERIFY2(info.typeName.has_value(), name);
      bool japanese = false;
      for (QChar c : *info.typeName) japanese |= c.unicode() >= 0x3040;
      QVERIFY2(japanese, qPrintable(*info.typeName));
      QVERIFY(!info.icon.isNull());
    }
  }

  void unknownTypeHasNoDescriptionButAnIcon() {
    const std::string dir = test::MakeTempDir();
    test::WriteFile(dir + "data.zzqx", std::string("\x00\x01\x02\xff", 4));
    FileTypeInfo info = MimeFileTypeSource().Fetch(dir + "data.zzqx");
    QVERIFY(!info.typeName.has_value());
    QVERIFY(!info.icon.isNull());
  }

  void imageListOnlyGrowsAndKeepsIndexes() {
    ImageList list;
    QCOMPARE(list.Add(FallbackFileIcon()), 0);
    QCOMPARE(list.Add(QIcon()), 1);
    QVERIFY(!list.At(0).isNull());
    QVERIFY(list.At(5).isNull());
    QVERIFY(list.At(-1).isNull());
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::FileTypesTest)
#include "FileTypesTest.moc"
