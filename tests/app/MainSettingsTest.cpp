#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QToolBar>

#include <filesystem>

#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "core/IniFile.h"

namespace tonbo {

class MainSettingsTest : public QObject {
  Q_OBJECT

  std::string Ini(const std::string& text) {
    std::string path = test::MakeTempDir("ini") + "tonbo.ini";
    if (!text.empty()) test::WriteFile(path, text);
    return path;
  }
  std::unique_ptr<TfrmMain> Make(const std::string& path) {
    return std::make_unique<TfrmMain>(nullptr, std::make_unique<MimeFileTypeSource>(), path);
  }

 private slots:
  void firstStartHasEverySwitchOn() {
    auto w = Make(Ini(""));
    for (size_t i = 0; i < kSwitchCount; ++i) {
      const auto kept = static_cast<MenuSwitch>(i);
      if (SwitchKey(kept)) QVERIFY2(w->Switch(kept), SwitchName(kept));
    }
    w->show();
    QVERIFY(w->findChild<QToolBar*>("ToolBar")->isVisible());
    QVERIFY(!QApplication::testAttribute(Qt::AA_DontShowIconsInMenus));
  }

  void storedSwitchesAreReadAndGarbageGivesDefaults() {
    auto w =
        Make(Ini("[setting]\nsound=0\npicture=0\ntoolbar=0\nalways_help=banana\n"
                 "MNUEXCELSORT=0\next_not_change=\n"));
    QVERIFY(!w->Switch(MenuSwitch::mnuSound));
    QVERIFY(!w->Switch(MenuSwitch::mnuPicture));
    QVERIFY(!w->Switch(MenuSwitch::mnuToolBar));
    QVERIFY(!w->Switch(MenuSwitch::mnuExcelSort));
    QVERIFY(w->Switch(MenuSwitch::mnuDescript));
    QVERIFY(w->Switch(MenuSwitch::mnuExtNotChange));
    w->show();
    QVERIFY(!w->findChild<QToolBar*>("ToolBar")->isVisible());
    QVERIFY(QApplication::testAttribute(Qt::AA_DontShowIconsInMenus));
    w->findChild<QAction*>("mnuPicture")->trigger();
    QVERIFY(!QApplication::testAttribute(Qt::AA_DontShowIconsInMenus));
  }

  void closingWritesEveryKeyAndKeepsOthers() {
    std::string path = Ini("[setting]\nfuture=7\n[help]\nreset=1\n");
    {
      auto w = Make(path);
      w->findChild<QAction*>("mnuSound")->trigger();  // off
    }
    TIniFileEx ini(path);
    QCOMPARE(ini.ReadString("setting", "sound", "?"), std::string("0"));
    for (const char* key : {"always_help", "picture", "ext_not_change", "toolbar", "mnuExcelSort"})
      QCOMPARE(ini.ReadString("setting", key, "?"), std::string("1"));
    QCOMPARE(ini.ReadString("setting", "future", "?"), std::string("7"));
    QCOMPARE(ini.ReadString("help", "reset", "?"), std::string("1"));
    for (const char* key : {"top", "left", "height", "width", "state"})
      QVERIFY2(ini.ValueExists("frmMain", key), key);
  }

  // The list's column widths and order come back in the next window; values
  // that do not fit are passed over.
  void listColumnsAreKept() {
    const std::string path = Ini("");
    Make(path)->List()->horizontalHeader()->moveSection(5, 0);  // destroyed: saved
    QCOMPARE(TIniFileEx(path).ReadString("listFile", "order", "?"), std::string("5,0,1,2,3,4,6"));
    test::WriteFile(path, "[listFile]\norder=5,0,1,2,3,4\nwidth5=321\n");
    QCOMPARE(Make(path)->List()->horizontalHeader()->logicalIndex(0), 5);
    QCOMPARE(Make(path)->List()->horizontalHeader()->sectionSize(5), 321);
    test::WriteFile(path, "[listFile]\norder=5,5,1,2,3,4\nwidth5=-3\nwidth0=x\n");
    auto w = Make(path);
    QCOMPARE(w->List()->horizontalHeader()->logicalIndex(0), 0);
    QCOMPARE(w->List()->horizontalHeader()->sectionSize(5), 130);
    QCOMPARE(w->List()->horizontalHeader()->sectionSize(0), 90);
  }

  void linesAddedByHandWhileRunningSurviveTheExit() {
    std::string path = Ini("[setting]\nsound=1\n");
    {
      auto w = Make(path);
      test::WriteFile(path, "[setting]\nsound=1\nmine=1\n[tools]\nx=2\n");
    }
    TIniFileEx ini(path);
    QCOMPARE(ini.ReadString("setting", "mine", "?"), std::string("1"));
    QCOMPARE(ini.ReadString("tools", "x", "?"), std::string("2"));
    QVERIFY(ini.ValueExists("frmMain", "top"));
  }

  void anUnreadableFileWarnsOnceAndIsLeftAlone() {
    const std::string dir = test::MakeTempDir("ini");
    const std::string path = dir + "tonbo.ini";
    QCOMPARE(symlink("tonbo.ini", path.c_str()), 0);  // cannot be opened
    test::ScriptedDialogs dialogs;
    {
      auto w = Make(path);
      w->StartUp({}, Qt::NoModifier);
      w->findChild<QAction*>("mnuSound")->trigger();
    }
    const QStringList warnings = dialogs.Texts("warning");
    QCOMPARE(warnings.size(), 1);
    QVERIFY(warnings[0].startsWith(QStringLiteral("設定ファイルを読み込めませんでした。")));
    QVERIFY(warnings[0].contains(QString::fromStdString(path)));
    QVERIFY(std::filesystem::is_symlink(path));
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  }

  void placementInsideTheWorkAreaIsKeptOtherwiseTopLeft() {
    auto inside = Make(Ini("[frmMain]\ntop=20\nleft=30\nheight=200\nwidth=300\n"));
    QCOMPARE(inside->pos(), QPoint(30, 20));
    QCOMPARE(inside->size(), QSize(300, 200));
    auto outside = Make(Ini("[frmMain]\ntop=20\nleft=5000\nheight=200\nwidth=300\n"));
    QCOMPARE(outside->pos(), QPoint(0, 0));
    QCOMPARE(outside->size(), QSize(300, 200));
  }

  void maximizedStateKeepsTheNormalBounds() {
    std::string path = Ini("[frmMain]\ntop=20\nleft=30\nheight=200\nwidth=300\nstate=2\n");
    {
      auto w = Make(path);
      w->show();
      QVERIFY(w->windowState() & Qt::WindowMaximized);
    }
    TIniFileEx ini(path);
    QCOMPARE(ini.ReadInteger("frmMain", "state", -1), 2);
    QCOMPARE(ini.ReadInteger("frmMain", "width", -1), 300);
    QCOMPARE(ini.ReadInteger("frmMain", "height", -1), 200);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainSettingsTest)
#include "MainSettingsTest.moc"
