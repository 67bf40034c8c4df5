#include "windows/TfrmRunHistory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/Dialogs.h"
#include "common/Escaped.h"
#include "common/Sjis.h"
#include "core/JournalKeep.h"

namespace tonbo {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// A disk path or name as the window shows it: through the codec, each
// control character as its picture.
QString Shown(const std::string& disk) {
  std::string sjis;
  return WithControlPictures(enc::DiskToSjis(disk, sjis) ? enc::FromSjis(sjis)
                                                         : QString::fromUtf8(disk.c_str()));
}

QString NameOf(const std::string& path) { return Shown(path.substr(path.rfind('/') + 1)); }

bool Undoable(RunState state) {
  return state == RunState::Finished || state == RunState::Recovered;
}

// A run's files listed when it is opened; a run of many files shows the first.
constexpr size_t kShownFiles = 1000;
constexpr int kRunRole = Qt::UserRole;  // index into runs_; -1 on a file's item
constexpr int kFilledRole = Qt::UserRole + 1;

enum Column { colTime, colFiles, colState, colFolders, colCount };

QTreeWidgetItem* RunItem(const KeptRun& run, int index) {
  QStringList folders;
  for (const std::string& folder : run.run.folders) folders << Shown(folder);
  auto* item = new QTreeWidgetItem(QStringList{
      QString::fromStdString(run.run.time),
      run.state == RunState::Refused ? QStringLiteral("-") : QString::number(run.run.files),
      U(RunStateText(run.state)), folders.join(U("、"))});
  item->setData(colTime, kRunRole, index);
  item->setToolTip(colTime, QStringLiteral("ID: ") + Shown(run.id));
  if (run.state == RunState::Refused)
    item->setToolTip(colState, QString::fromStdString(run.refusal));
  else
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  return item;
}

// What an undo did, as the window says it.
QString ResultText(const RecoveryResult& r) {
  QStringList lines;
  if (!r.error.empty()) {
    lines << WithControlPictures(QString::fromStdString(r.error));
  } else {
    lines << QString::number(r.moved) + U("個のファイルを元の名前に戻しました。");
    if (r.restored > 0)
      lines << QString::number(r.restored) + U("個のファイルをごみ箱から戻しました。");
    if (r.notDone > 0)
      lines << QString::number(r.notDone) + U(" 個のファイルはそのままにしました。");
    if (r.kept)
      lines << U(
          "一時的な名前のまま残ったファイルがあるため、名前の変更の記録は閉じずに残しました。"
          "次に起動したときにもう一度確認します。");
  }
  for (const std::string& line : r.log) lines << WithControlPictures(enc::FromSjis(line));
  return lines.join(QStringLiteral("\n"));
}

}  // namespace

TfrmRunHistory::TfrmRunHistory(QWidget* parent)
    : QDialog(parent), undoer_([](const std::string& journal) {
        return UndoRun(journal, nullptr, UndoMode::AllOrNothing);
      }) {
  setObjectName(QStringLiteral("frmRunHistory"));
  setWindowTitle(U("名前変更の履歴"));
  resize(720, 480);
  lstRuns_ = new QTreeWidget(this);
  lstRuns_->setObjectName(QStringLiteral("lstRuns"));
  lstRuns_->setColumnCount(colCount);
  lstRuns_->setHeaderLabels({U("日時"), U("ファイル数"), U("状態"), U("フォルダ")});
  lstRuns_->setUniformRowHeights(true);
  lstRuns_->header()->resizeSection(colTime, 220);
  connect(lstRuns_, &QTreeWidget::itemExpanded, this, &TfrmRunHistory::lstRunsExpanded);
  connect(lstRuns_, &QTreeWidget::currentItemChanged, this, &TfrmRunHistory::lstRunsChange);
  lblKeep_ = new QLabel(this);
  lblKeep_->setObjectName(QStringLiteral("lblKeep"));
  memResult_ = new QPlainTextEdit(this);
  memResult_->setObjectName(QStringLiteral("memResult"));
  memResult_->setReadOnly(true);
  memResult_->setMaximumHeight(110);
  btnUndo_ = new QPushButton(U("この名前変更を元に戻す"), this);
  btnUndo_->setObjectName(QStringLiteral("btnUndo"));
  btnClose_ = new QPushButton(U("閉じる"), this);
  btnClose_->setObjectName(QStringLiteral("btnClose"));
  connect(btnUndo_, &QPushButton::clicked, this, &TfrmRunHistory::btnUndoClick);
  connect(btnClose_, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btnUndo_);
  buttons->addStretch();
  buttons->addWidget(btnClose_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lstRuns_);
  layout->addWidget(lblKeep_);
  layout->addWidget(memResult_);
  layout->addLayout(buttons);
}

void TfrmRunHistory::Execute() {
  memResult_->clear();
  lstRuns_->setCurrentItem(nullptr);
  RefreshRuns();
  lstRuns_->setCurrentItem(lstRuns_->topLevelItem(0));  // the newest run
  Dialogs().RunModal(*this);
}

void TfrmRunHistory::RefreshRuns() {
  const KeptRun* chosen = ChosenRun();
  const std::string id = chosen ? chosen->id : std::string();
  const JournalKeep keep = ReadJournalKeep();
  lblKeep_->setText(
      U("最近の %1 回、%2 日以内の名前変更を記録しています。").arg(keep.runs).arg(keep.days));
  lstRuns_->clear();
  runs_ = KeptRuns();
  for (size_t i = 0; i < runs_.size(); ++i)
    lstRuns_->addTopLevelItem(RunItem(runs_[i], static_cast<int>(i)));
  ChooseRun(id);
  lstRunsChange();
}

void TfrmRunHistory::lstRunsExpanded(QTreeWidgetItem* item) {
  const int index = item->data(colTime, kRunRole).toInt();
  if (item->parent() || item->data(colTime, kFilledRole).toBool()) return;
  item->setData(colTime, kFilledRole, true);
  const std::vector<FileState> files = DescribeJournal(runs_[static_cast<size_t>(index)].journal);
  QList<QTreeWidgetItem*> children;
  for (size_t i = 0; i < files.size() && i < kShownFiles; ++i) {
    const FileState& f = files[i];
    const QString target = f.target.empty() ? U("（削除）") : NameOf(f.target);
    auto* child = new QTreeWidgetItem(QStringList{NameOf(f.from) + U(" → ") + target, QString(),
                                                  U(f.state.c_str()),
                                                  Shown(f.from.substr(0, f.from.rfind('/') + 1))});
    child->setData(colTime, kRunRole, -1);
    children << child;
  }
  if (files.size() > kShownFiles)
    children << new QTreeWidgetItem(
        QStringList{U("…（ほか %1 個）").arg(static_cast<qlonglong>(files.size() - kShownFiles))});
  item->addChildren(children);
}

const KeptRun* TfrmRunHistory::ChosenRun() const {
  QTreeWidgetItem* item = lstRuns_->currentItem();
  while (item && item->parent()) item = item->parent();
  if (!item) return nullptr;
  const int index = item->data(colTime, kRunRole).toInt();
  return index >= 0 && index < static_cast<int>(runs_.size()) ? &runs_[static_cast<size_t>(index)]
                                                              : nullptr;
}

void TfrmRunHistory::ChooseRun(const std::string& id) {
  for (size_t i = 0; i < runs_.size(); ++i)
    if (runs_[i].id == id) lstRuns_->setCurrentItem(lstRuns_->topLevelItem(static_cast<int>(i)));
}

void TfrmRunHistory::lstRunsChange() {
  const KeptRun* run = ChosenRun();
  btnUndo_->setEnabled(run && Undoable(run->state));
}

void TfrmRunHistory::Say(const QString& text) { memResult_->setPlainText(text); }

QString TfrmRunHistory::Refusal(const KeptRun& run, const UndoPreview& preview) {
  if (!preview.refusal.empty()) return WithControlPictures(QString::fromStdString(preview.refusal));
  QStringList lines{
      U("元に戻せないファイルがあるため、この名前変更は元に戻しません"
        "（何も変更していません）。")};
  for (const UndoStep& step : preview.steps)
    if (!step.problem.empty())
      lines << U("  ") + (step.now.empty() ? U("（ごみ箱）") : NameOf(step.now)) + U(" → ") +
                   NameOf(step.back) + QString::fromStdString(step.problem);
  const std::vector<std::string> newer = RunsInTheWay(run.journal, preview);
  QStringList times;
  for (const std::string& id : newer)
    for (const KeptRun& kept : runs_)
      if (kept.id == id) times << QString::fromStdString(kept.run.time);
  if (!times.isEmpty()) {
    lines << U("後の名前変更（%1）が同じファイルを変えています。先にそちらを元に戻してください。")
                 .arg(times.join(U("、")));
    ChooseRun(newer.front());  // the one to undo first
  }
  return lines.join(QStringLiteral("\n"));
}

void TfrmRunHistory::btnUndoClick() {
  const KeptRun* chosen = ChosenRun();
  if (!chosen || !Undoable(chosen->state)) return;
  const KeptRun run = *chosen;
  const UndoPreview preview = PreviewUndo(run.journal);
  if (!preview.refusal.empty() || preview.blocked > 0) {
    Say(Refusal(run, preview));
    return;
  }
  QStringList folders;
  for (const std::string& folder : preview.run.folders) folders << Shown(folder);
  if (folders.size() > 3) folders = folders.mid(0, 3) << U("ほか %1 か所").arg(folders.size() - 3);
  if (!AskYesNo(U("この名前変更（%1、%2 個のファイル）を元に戻します。\r\nフォルダ %3\r\n"
                  "よろしいですか？")
                    .arg(QString::fromStdString(preview.run.time))
                    .arg(preview.run.files)
                    .arg(folders.join(U("、")))))
    return;
  Say(ResultText(undoer_(run.journal)));
  RefreshRuns();
}

}  // namespace tonbo
