// The naming commands of "名前変更(&N)", "組合せ(&K)" and "整形(&T)": each
// reads the selected rows and the rule settings at the moment it runs and
// hands the work to the naming code shared with the command line.
#include <QDateTime>

#include "app/TfrmMain.h"
#include "commands/FormatCommands.h"
#include "commands/NameRepair.h"
#include "commands/NamingCommands.h"
#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "windows/TfrmFormat.h"

namespace tonbo {
namespace {

const QString kNoRange = QStringLiteral("範囲が選択されていません。");
const QString kRenameCaption = QStringLiteral("名前変更");

QString ChangedText(int count, int skipped) {
  return QString::fromStdString(ChangedNamesText(count, skipped));
}

// Combination commands change the serial settings for one run only.
class RulesForOneRun {
 public:
  explicit RulesForOneRun(TfrmFormat& form) : form_(form), saved_(form.Rules()) {}
  ~RulesForOneRun() { form_.SetRules(saved_); }
  RenameRules Changed() const { return saved_; }
  void Apply(const RenameRules& rules) { form_.SetRules(rules); }

 private:
  TfrmFormat& form_;
  RenameRules saved_;
};

}  // namespace

void TfrmMain::CreateFormatDialog() {
  frmFormat_ = new TfrmFormat(this);
  frmFormat_->LoadSettings(*ini_);
  connect(frmFormat_, &TfrmFormat::helpRequested, this,
          [this] { ShowExplanation(QStringLiteral("filename"), true); });
  random_.seed(static_cast<std::mt19937::result_type>(QDateTime::currentMSecsSinceEpoch()));
}

void TfrmMain::actOptionRenameExecute() { Dialogs().RunModal(*frmFormat_); }

void TfrmMain::mnuRenbanClick() {
  if (!ConfirmAction(QStringLiteral("rename_renban"))) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) ShowWarning(kNoRange, kRenameCaption);
  const NamingOutcome out = NameSerial(table_, rows, frmFormat_->Rules());
  RefreshList();
  SetStatusText(1, ChangedText(out.named, out.skipped));
  RecordUndo(QStringLiteral("連番"));
}

void TfrmMain::mnuRenameDateClick() {
  if (!ConfirmAction(QStringLiteral("rename_date"))) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) ShowWarning(kNoRange, kRenameCaption);
  const RenameRules rules = frmFormat_->Rules();
  TakenTimes taken;
  if (rules.dateSource == static_cast<int>(DateSource::Taken) && !rows.empty()) {
    TfrmProgress progress(this, QStringLiteral("撮影日時の読み込み"), progressClock_);
    std::optional<TakenTimes> read = ReadRowTakenTimes(table_, rows, tagSource_, &progress);
    if (!read) return;  // stopped: no name has changed
    taken = std::move(*read);
  }
  const NamingOutcome out = NameByDate(table_, rows, rules, taken);
  RefreshList();
  RecordUndo(QStringLiteral("日付"));
  SetStatusText(1, ChangedText(out.named, out.skipped));
}

void TfrmMain::mnuRenameRandomClick() {
  if (!ConfirmAction(QStringLiteral("rename_random"))) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) ShowWarning(kNoRange, kRenameCaption);
  RenameRules rules = frmFormat_->Rules();
  if (RandomPool(rules).empty()) {
    ShowWarning(
        QStringLiteral("ランダムな名前に使う文字が選ばれていません。\r\n「名前変換規則の設定」の"
                       "「ファイル名に利用する文字構成」で、使う文字を選んでください。"),
        QStringLiteral("ランダムに命名"));
    return;
  }
  bool relaxed = false;
  RandomHooks hooks{
      [this](int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); },
      [&relaxed] {
        relaxed = true;
        ShowWarning(QStringLiteral("ランダムに名前を付けるのが難しいので条件をゆるくします。"),
                    QStringLiteral("ランダムに命名"));
      }};
  const int named = NameRandom(table_, rows, rules, hooks);
  if (relaxed) {
    // The wider length is for this run only; the small letters stay on.
    RenameRules kept = frmFormat_->Rules();
    kept.randomLower = true;
    frmFormat_->SetRules(kept);
  }
  RefreshList();
  RecordUndo(QStringLiteral("ランダム"));
  SetStatusText(1, ChangedText(named, 0));
}

void TfrmMain::RunSerialWith(const std::function<void(RenameRules&)>& change) {
  RulesForOneRun once(*frmFormat_);
  RenameRules rules = once.Changed();
  change(rules);
  once.Apply(rules);
  mnuRenbanClick();
}

void TfrmMain::mnuRenbanAndStrClick() {
  const QString s =
      InputBox(QStringLiteral("連番＋指定文字列"),
               QStringLiteral("連番の後ろにつける文字列を入力してください。"), QString());
  if (s.isEmpty()) return;
  RunSerialWith([&](RenameRules& r) { r.renbanFooter += enc::ToSjis(s); });
}

void TfrmMain::mnuRenbanAndStr2Click() {
  const QString s = InputBox(QStringLiteral("指定文字列＋連番"),
                             QStringLiteral("文字列を入力してください。"), QString());
  if (s.isEmpty()) return;
  RunSerialWith([&](RenameRules& r) { r.renbanHeader += enc::ToSjis(s); });
}

void TfrmMain::mnuRenbanAndOldNameClick() {
  RunSerialWith([](RenameRules& r) {
    r.renbanFooter += "_";
    r.renbanOldName = 1;
  });
}

void TfrmMain::mnuRenbanAndStr3Click() {
  const QString s = InputBox(QStringLiteral("指定文字列＋連番＋ファイル名"),
                             QStringLiteral("文字列を入力してください。"), QString());
  if (s.isEmpty()) return;
  RunSerialWith([&](RenameRules& r) {
    r.renbanHeader = enc::ToSjis(s);
    r.renbanOldName = 1;
  });
}

void TfrmMain::mnuRenameSimpleClick() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const bool extNotChange = Switch(MenuSwitch::mnuExtNotChange);
  std::string preset(table_.GetCell(colNewName, rows.front()));
  if (!extNotChange) preset += table_.GetCell(colExt, rows.front());
  QString typed = enc::FromSjis(preset);
  // Cancel ends the command (it does not name every file after the first).
  if (!Dialogs().InputQuery(QStringLiteral("新しい名前の入力"),
                            QStringLiteral("名前を入力してください。"), typed) ||
      typed.isEmpty())
    return;
  const std::string text = enc::ToSjis(typed);
  ForEachSelectedRows(QStringLiteral("名前の変更"), [&](const std::vector<int>& selected) {
    NameFixed(table_, selected, text, extNotChange);
  });
  RefreshList();
}

void TfrmMain::AddTextCommand(bool atHead) {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    ShowWarning(kNoRange, kRenameCaption);
    return;
  }
  const QString s = InputBox(
      atHead ? QStringLiteral("指定文字列＋ファイル名") : QStringLiteral("ファイル名＋指定文字列"),
      QStringLiteral("文字列の入力"), QString());
  if (s.isEmpty()) return;
  const int count = AddText(table_, rows, enc::ToSjis(s), atHead);
  RefreshList();
  SetStatusText(1, ChangedText(count, 0));
  RecordUndo(QStringLiteral("指定文字列を追加"));
}

void TfrmMain::FormatCommand(Formatting formatting) {
  const FormatRule& rule = FormatRuleOf(formatting);
  const bool alsoExt = rule.extensionToo && !Switch(MenuSwitch::mnuExtNotChange);
  ForEachSelected(QString::fromUtf8(rule.label),
                  [&](TfrmMain& w, int row) { ConvertRow(w.Table(), row, rule.convert, alsoExt); });
}

void TfrmMain::RepairCommand(const QString& key, const QString& label,
                             int (*repair)(TCsvDb&, const std::vector<int>&, bool),
                             std::string (*status)(int)) {
  if (!ConfirmAction(key)) return;
  const bool alsoExt = !Switch(MenuSwitch::mnuExtNotChange);
  int changed = 0;
  if (ForEachSelectedRows(label, [&](const std::vector<int>& rows) {
        changed = repair(table_, rows, alsoExt);
      }) < 0)
    return;
  SetStatusText(1, QString::fromStdString(status(changed)));
  if (changed > 0) RecordUndo(label);
}

void TfrmMain::RegisterNamingCommands() {
  auto reg = [this](Command command, std::function<void()> fn) {
    commands_.Register(command, std::move(fn));
  };
  reg(Command::actOptionRename, [this] { actOptionRenameExecute(); });
  reg(Command::mnuRenban, [this] { mnuRenbanClick(); });
  reg(Command::mnuRenameDate, [this] { mnuRenameDateClick(); });
  reg(Command::mnuRenameRandom, [this] { mnuRenameRandomClick(); });
  reg(Command::mnuRenameFromTags, [this] { mnuRenameFromTagsClick(); });
  reg(Command::mnuRenbanAndStr, [this] { mnuRenbanAndStrClick(); });
  reg(Command::mnuRenbanAndStr2, [this] { mnuRenbanAndStr2Click(); });
  reg(Command::mnuRenbanAndOldName, [this] { mnuRenbanAndOldNameClick(); });
  reg(Command::mnuRenbanAndStr3, [this] { mnuRenbanAndStr3Click(); });
  reg(Command::mnuRenameSimple, [this] { mnuRenameSimpleClick(); });
  reg(Command::mnuFNameAddFoot, [this] { AddTextCommand(false); });
  reg(Command::mnuFNameAddHead, [this] { AddTextCommand(true); });
  reg(Command::mnuRenameLower, [this] { FormatCommand(Formatting::Lower); });
  reg(Command::mnuRenameUpper, [this] { FormatCommand(Formatting::Upper); });
  reg(Command::mnuRenameHankakuAnk, [this] { FormatCommand(Formatting::HankakuAnk); });
  reg(Command::mnuRenameHankaku, [this] { FormatCommand(Formatting::Hankaku); });
  reg(Command::mnuRenameZenkaku, [this] { FormatCommand(Formatting::Zenkaku); });
  reg(Command::mnuRenameHira, [this] { FormatCommand(Formatting::Hiragana); });
  reg(Command::mnuRenameKata, [this] { FormatCommand(Formatting::Katakana); });
  reg(Command::mnuRenameFixEncoding,
      [this] { RepairCommand("fix_encoding", "文字化けの修正", FixGarbledNames, FixedNamesText); });
  reg(Command::mnuRenameNfc,
      [this] { RepairCommand("nfc", "濁点の結合", ComposeNames, ComposedNamesText); });
}

}  // namespace tonbo
