#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <map>

#include "FakeFileTypes.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "windows/TfrmFormat.h"

namespace tonbo {

class MainNamingTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;

  TfrmMain& Make(std::initializer_list<const char*> names) {
    w_ = std::make_unique<TfrmMain>(nullptr, std::make_unique<test::NoFileTypes>());
    w_->SetSwitch(MenuSwitch::mnuDescript, false);
    w_->SetSoundPlayer([](const std::string&) {});
    int r = 0;
    for (const char* n : names) {
      w_->Table().SetCell(colNewName, r, ExtractFileBase(n));
      w_->Table().SetCell(colExt, r, ExtractFileExt(n));
      w_->Table().SetCell(colModified, r, "2005/12/31 13:05:09");
      w_->Table().SetCell(colPath, r, std::string("/d/") + n);
      ++r;
    }
    w_->RefreshList();
    return *w_;
  }
  void Trigger(const char* name) { w_->findChild<QAction*>(name)->trigger(); }
  QStringList Names() {
    QStringList out;
    for (int r = 0; r < w_->Table().RowCount(); ++r)
      out << enc::FromSjis(
          std::string(w_->Table().GetCell(colNewName, r)).append(w_->Table().GetCell(colExt, r)));
    return out;
  }
  QString LastLabel() {
    return enc::FromSjis(w_->History().At(w_->History().Count() - 1)->Label());
  }

 private slots:
  void cleanup() { w_.reset(); }

  void serialNamesTheSelectionInListOrder() {
    Make({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    w_->SelectRows({1, 3});
    Trigger("mnuRenban");
    QCOMPARE(Names(), QStringList({"a.jpg", "001.jpg", "c.jpg", "002.jpg"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("2個のファイル名を変更しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("連番"));
  }

  void serialWithoutSelectionWarnsAndStillRecords() {
    Make({"a.jpg"});
    test::ScriptedDialogs dialogs;
    Trigger("mnuRenban");
    QCOMPARE(dialogs.Texts("warning"), QStringList({"範囲が選択されていません。"}));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("名前変更"));
    QCOMPARE(w_->StatusText(1), QStringLiteral("0個のファイル名を変更しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("連番"));
  }

  void combinationsChangeSettingsForOneRun() {
    Make({"photo.jpg"});
    RenameRules rules = w_->frmFormat().Rules();
    rules.renbanHeader = "K";
    w_->frmFormat().SetRules(rules);
    w_->SelectRows({0});
    Trigger("mnuRenbanAndOldName");
    QCOMPARE(Names(), QStringList({"K001_photo.jpg"}));
    QCOMPARE(w_->frmFormat().Rules().renbanFooter, std::string());
    QCOMPARE(w_->frmFormat().Rules().renbanOldName, 0);
    w_->Table().SetCell(colNewName, 0, "photo");
    test::ScriptedDialogs dialogs;
    dialogs.inputs = {{true, QStringLiteral("IMG")}};
    w_->SelectRows({0});
    Trigger("mnuRenbanAndStr3");
    QCOMPARE(Names(), QStringList({"IMG001photo.jpg"}));
    QCOMPARE(w_->frmFormat().Rules().renbanHeader, std::string("K"));
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("指定文字列＋連番＋ファイル名"));
    dialogs.inputs = {{true, QStringLiteral("-x")}};
    w_->SelectRows({0});
    Trigger("mnuRenbanAndStr");
    QCOMPARE(Names(), QStringList({"K001-x.jpg"}));
    w_->SelectRows({0});
    Trigger("mnuRenbanAndStr2");  // Cancel: nothing happens
    QCOMPARE(Names(), QStringList({"K001-x.jpg"}));
  }

  // Tags by path, read from the reading threads (the map is never changed).
  void UseTags(const std::map<std::string, tags::MediaTags>& files) {
    auto find = [files](const std::string& path) {
      auto it = files.find(path);
      return it == files.end() ? tags::MediaTags() : it->second;
    };
    w_->SetTagSource({find, [find](const std::string& path) { return find(path).taken; }});
  }

  void tagNamingTakesThePatternFromTheDialog() {
    Make({"a.jpg", "b.jpg", "c.mp3"});
    tags::MediaTags camera;
    camera.model = "EOS";
    UseTags({{"/d/a.jpg", camera}, {"/d/b.jpg", camera}});
    test::ScriptedDialogs dialogs;
    QStringList sample;
    bool refused = false;
    dialogs.onModal = [&](QDialog& d) {
      auto* edit = d.findChild<QLineEdit*>("edtPattern");
      auto* ok = d.findChild<QPushButton*>("btnOk");
      edit->setText(QStringLiteral("[機種"));
      refused = !ok->isEnabled() && !d.findChild<QLabel*>("lblError")->text().isEmpty();
      edit->setText(QStringLiteral("[機種]_[元の名前]"));
      d.findChild<QRadioButton*>("rdoMissingText")->setChecked(true);
      sample = d.findChild<QPlainTextEdit*>("memSample")->toPlainText().split(QLatin1Char('\n'));
      ok->click();
    };
    Trigger("actSelectAll");
    Trigger("mnuRenameFromTags");
    QVERIFY(refused);
    QCOMPARE(sample,
             QStringList({"a.jpg -> EOS_a.jpg", "b.jpg -> EOS_b.jpg", "c.mp3 -> 不明_c.mp3"}));
    QCOMPARE(Names(), QStringList({"EOS_a.jpg", "EOS_b.jpg", "不明_c.mp3"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("3個のファイルにタグから名前を付けました。"));
    QCOMPARE(LastLabel(), QStringLiteral("タグから命名"));
    w_->mnuUndoClick();
    QCOMPARE(Names(), QStringList({"a.jpg", "b.jpg", "c.mp3"}));
    dialogs.onModal = [](QDialog& d) { d.findChild<QPushButton*>("btnCancel")->click(); };
    Trigger("actSelectAll");
    Trigger("mnuRenameFromTags");  // Cancel changes nothing
    QCOMPARE(Names(), QStringList({"a.jpg", "b.jpg", "c.mp3"}));
  }

  void dateNamingTakesTheDateTakenWhenSet() {
    Make({"a.jpg", "b.jpg"});
    tags::MediaTags photo;
    photo.taken = tags::TakenTime();
    photo.taken->year = 2024, photo.taken->month = 5, photo.taken->day = 1;
    UseTags({{"/d/a.jpg", photo}});
    RenameRules rules = w_->frmFormat().Rules();
    rules.dateSource = static_cast<int>(DateSource::Taken);
    w_->frmFormat().SetRules(rules);
    Trigger("actSelectAll");
    Trigger("mnuRenameDate");
    QCOMPARE(Names(), QStringList({"24-05-01__001.jpg", "05-12-31__001.jpg"}));
  }

  void dateNamesAreUnique() {
    Make({"a.jpg", "b.jpg", "c.png"});
    Trigger("actSelectAll");
    Trigger("mnuRenameDate");
    QCOMPARE(Names(), QStringList({"05-12-31__001.jpg", "05-12-31__002.jpg", "05-12-31__003.png"}));
    QCOMPARE(LastLabel(), QStringLiteral("日付"));
  }

  void simpleRenameNumbersAndCancelEnds() {
    Make({"a.jpg", "b.jpg", "c.png", "d.txt"});
    Trigger("actSelectAll");
    test::ScriptedDialogs dialogs;
    dialogs.inputs = {{true, QStringLiteral("photo")}};
    const int entries = w_->History().Count();
    Trigger("mnuRenameSimple");
    QCOMPARE(Names(), QStringList({"photo.jpg", "photo_1.jpg", "photo_2.png", "photo_3.txt"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("4個：名前の変更"));
    QCOMPARE(w_->History().Count(), entries);
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("新しい名前の入力"));
    w_->SetSwitch(MenuSwitch::mnuExtNotChange, false);
    Trigger("actSelectAll");
    Trigger("mnuRenameSimple");  // cancelled
    QCOMPARE(Names(), QStringList({"photo.jpg", "photo_1.jpg", "photo_2.png", "photo_3.txt"}));
    dialogs.inputs = {{true, QStringLiteral("x.png")}};
    Trigger("actSelectAll");
    Trigger("mnuRenameSimple");
    QCOMPARE(Names(), QStringList({"x.png", "x_1.png", "x_2.png", "x_3.png"}));
  }

  void appendAndPrependRecord() {
    Make({"a.jpg", "b.jpg"});
    test::ScriptedDialogs dialogs;
    dialogs.inputs = {{true, QStringLiteral("_old")}, {true, QStringLiteral("2005_")}};
    Trigger("actSelectAll");
    Trigger("mnuFNameAddFoot");
    Trigger("actSelectAll");
    Trigger("mnuFNameAddHead");
    QCOMPARE(Names(), QStringList({"2005_a_old.jpg", "2005_b_old.jpg"}));
    QCOMPARE(LastLabel(), QStringLiteral("指定文字列を追加"));
    w_->SelectRows({});
    Trigger("mnuFNameAddFoot");
    QCOMPARE(dialogs.Texts("warning"), QStringList({"範囲が選択されていません。"}));
  }

  void formattingFollowsTheExtensionSwitch() {
    Make({"readme.txt"});
    Trigger("mnuRenameUpper");  // one entry, nothing selected: it is taken
    QCOMPARE(Names(), QStringList({"README.txt"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個：大文字に揃える"));
    w_->SetSwitch(MenuSwitch::mnuExtNotChange, false);
    Trigger("mnuRenameLower");
    QCOMPARE(Names(), QStringList({"readme.txt"}));
    Trigger("mnuRenameUpper");
    QCOMPARE(Names(), QStringList({"README.TXT"}));
    Trigger("mnuRenameKata");
    QCOMPARE(Names(), QStringList({"README.TXT"}));
  }

  // Names from a Windows zip and from macOS: repaired, counted, undoable.
  void repairCommandsCountTheirNamesAndCanBeUndone() {
    Make({"a.jpg", "b.txt", "c.txt"});
    auto setName = [&](int row, const std::string& disk) {
      std::string sjis;
      enc::DiskToSjis(disk, sjis);
      w_->Table().SetCell(colNewName, row, sjis);
    };
    setName(0, "\x8E\xCA\x90\x5E");          // 写真 in code page 932
    setName(1, "\xE3\x81\x8B\xE3\x82\x99");  // か + voiced mark
    setName(2, "readme");
    w_->RefreshList();
    w_->RecordUndo("ファイルの追加");
    w_->SelectRows({0, 1, 2});
    const QStringList before = Names();
    Trigger("mnuRenameFixEncoding");
    QCOMPARE(Names(), QStringList({"写真.jpg", before[1], "readme.txt"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個のファイル名の文字化けを直しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("文字化けの修正"));
    w_->SelectRows({0, 1, 2});  // the rebuilt list has no selection
    Trigger("mnuRenameNfc");
    QCOMPARE(Names(), QStringList({"写真.jpg", "が.txt", "readme.txt"}));
    QCOMPARE(w_->StatusText(1), QStringLiteral("1個のファイル名の濁点を結合しました。"));
    QCOMPARE(LastLabel(), QStringLiteral("濁点の結合"));
    w_->SelectRows({0, 1, 2});
    Trigger("mnuRenameNfc");
    QCOMPARE(w_->StatusText(1), QStringLiteral("結合する濁点のあるファイル名はありませんでした。"));
    Trigger("mnuUndo");  // the command that changed nothing left no entry
    QCOMPARE(Names(), QStringList({"写真.jpg", before[1], "readme.txt"}));
    Trigger("mnuUndo");
    QCOMPARE(Names(), before);
  }

  void repairWithoutSelectionWarnsAndRecordsNothing() {
    Make({"a.jpg", "b.jpg"});
    test::ScriptedDialogs dialogs;
    const int entries = w_->History().Count();
    Trigger("mnuRenameFixEncoding");
    QCOMPARE(dialogs.Texts("warning").size(), 1);
    QCOMPARE(dialogs.shown[0].caption, QStringLiteral("文字化けの修正"));
    QCOMPARE(w_->History().Count(), entries);
  }

  void randomWithNoClassWarnsAndChangesNothing() {
    Make({"a.jpg"});
    RenameRules rules = w_->frmFormat().Rules();
    rules.randomLower = rules.randomUpper = rules.randomNum = false;
    rules.randomSymbol = rules.randomHira = rules.randomKana = false;
    w_->frmFormat().SetRules(rules);
    test::ScriptedDialogs dialogs;
    w_->SelectRows({0});
    const int entries = w_->History().Count();
    Trigger("mnuRenameRandom");
    QCOMPARE(Names(), QStringList({"a.jpg"}));
    QCOMPARE(dialogs.Texts("warning").size(), 1);
    QVERIFY(dialogs.Texts("warning")[0].contains(QStringLiteral("ファイル名に利用する文字構成")));
    QCOMPARE(w_->History().Count(), entries);
  }

  void ruleSettingsOpenModally() {
    Make({});
    test::ScriptedDialogs dialogs;
    Trigger("mnuRenameCustomize");
    QCOMPARE(dialogs.shown.back().caption, QStringLiteral("名前変換規則の設定"));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainNamingTest)
#include "MainNamingTest.moc"
