#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProcess>

#include <algorithm>

#include "QtTestMain.h"
#include "QuietMain.h"
#include "ScriptedDialogs.h"
#include "app/TfrmMain.h"
#include "common/Sjis.h"
#include "windows/TfrmFormat.h"

namespace tonbo {

class MainRecipesTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TfrmMain> w_;

  std::string Folder(const char* hint) {
    const std::string dir = test::MakeTempDir(hint);
    for (const char* name : {"IMG 1.JPG", "it's.jpg", "\xEF\xBD\xB6\xEF\xBE\x80.txt"})
      test::WriteFile(dir + name, name);
    return dir;
  }
  void Open(const std::string& dir) {
    w_ = test::QuietMain();
    w_->AddDiskPaths({dir});
    w_->findChild<QAction*>("actSelectAll")->trigger();
  }
  void Trigger(const char* name) { w_->findChild<QAction*>(name)->trigger(); }
  QStringList Names() const {
    QStringList out;
    for (int r = 0; r < w_->Table().RowCount(); ++r)
      out << enc::FromSjis(
          std::string(w_->Table().GetCell(colNewName, r)).append(w_->Table().GetCell(colExt, r)));
    out.sort();
    return out;
  }
  static QStringList DiskNames(const std::string& dir) {
    QStringList out = QDir(QString::fromStdString(dir)).entryList(QDir::Files);
    out.sort();
    return out;
  }

 private slots:
  void cleanup() { w_.reset(); }

  // The steps done in the window, saved, give the same names when tonbo-cli
  // runs them on another folder, and when the window runs them again: one
  // history entry per step, the recipe then among the recent ones.
  void aSavedRecipeRunsTheSameInTonboCliAndTheWindow() {
    Open(Folder("window"));
    RenameRules rules = w_->frmFormat().Rules();
    rules.renbanHeader = enc::Lit("写真 '$");
    w_->frmFormat().SetRules(rules);
    test::ScriptedDialogs dialogs;
    Trigger("mnuRenban");
    dialogs.inputs = {{true, QStringLiteral("\"a b\" ")}};
    Trigger("mnuFNameAddHead");
    Trigger("mnuRenameUpper");  // no history entry: its step waits for the next one
    const QStringList windowNames = Names();
    QVERIFY(windowNames.value(0).startsWith(QStringLiteral("\"A B\" ")));
    const QString recipe = QString::fromStdString(test::MakeTempDir("recipe") + "steps.recipe");
    dialogs.saveFiles = {recipe, recipe};
    dialogs.stepRanges = {std::nullopt, StepRange{0, 0}, StepRange{0, 1}, StepRange{0, 1}};
    Trigger("mnuRecipeSave");  // cancelled: no file asked for
    QVERIFY(dialogs.saveRequests.empty());
    Trigger("mnuRecipeSave");  // the entry of 連番 only
    QCOMPARE(w_->StatusText(1), QStringLiteral("8行の手順を保存しました。"));
    Trigger("mnuRecipeSave");
    QCOMPARE(w_->StatusText(1), QStringLiteral("11行の手順を保存しました。"));
    // Only entries with steps are offered, all checked; 整形's waiting line goes with the last.
    const auto& [offered, preset] = dialogs.stepOffers.back();
    QCOMPARE(preset, (StepRange{0, 1}));
    QCOMPARE(offered.size(), 2);
    QCOMPARE(offered[0].label, QStringLiteral("連番"));
    QCOMPARE(offered[1].lines.value(2), QStringLiteral("--upper"));
    dialogs.saveFiles = {recipe + QStringLiteral("/no.recipe")};  // in a file: says why
    Trigger("mnuRecipeSave");
    QVERIFY(dialogs.Texts("error").value(0).endsWith(QStringLiteral("フォルダが見つかりません")));

    const std::string other = Folder("other");
    QProcess cli;
    cli.start(QStringLiteral(TONBO_CLI_PATH),
              {QStringLiteral("--recipe"), recipe, QStringLiteral("--apply"),
               QString::fromStdString(other)});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(DiskNames(other), windowNames);

    Open(Folder("again"));
    const int entries = w_->History().Count();
    dialogs.openFiles = {{recipe}};
    Trigger("mnuRecipeRun");
    QCOMPARE(Names(), windowNames);
    QCOMPARE(w_->History().Count(), entries + 3);
    QCOMPARE(enc::FromSjis(w_->History().At(entries)->Label()), QStringLiteral("連番"));
    auto* recent = w_->findChild<QMenu*>("mnuRecipeRecent");
    QCOMPARE(recent->actions().size(), 1);
    QCOMPARE(recent->actions()[0]->text(), QStringLiteral("&1 steps.recipe"));
  }

  // A recipe with a bad line is refused with its number in the error box:
  // the names and the history stay as they were.
  void aMalformedRecipeChangesNothing() {
    Open(Folder("bad"));
    const std::string recipe = test::MakeTempDir("recipe") + "bad.recipe";
    test::WriteFile(recipe, "tonbo-recipe 1\n--upper\n--regex 's/[/x/'\n");
    const QStringList before = Names();
    const int entries = w_->History().Count();
    test::ScriptedDialogs dialogs;
    dialogs.openFiles = {{QString::fromStdString(recipe)}};
    Trigger("mnuRecipeRun");
    QVERIFY(dialogs.Texts("error").value(0).startsWith(QStringLiteral("3行目：")));
    QCOMPARE(Names(), before);
    QCOMPARE(w_->History().Count(), entries);
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::MainRecipesTest)
#include "MainRecipesTest.moc"
