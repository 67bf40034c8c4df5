// Clashes: the changed rows that a rename run would not carry out as they
// stand, marked in the list before F5.
#include <QLabel>
#include <QMetaObject>

#include "app/TfrmMain.h"
#include "common/Escaped.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/ClashWorker.h"

namespace tonbo {
namespace {

// The summary before a run lists this many rows, then the count of the rest.
constexpr int kSummaryRows = 10;

QString ShownName(std::string_view sjis) { return WithControlPictures(enc::FromSjis(sjis)); }

}  // namespace

void TfrmMain::MarkClashes() {
  ++clashGeneration_;
  const ClashCheck names = CheckClashes(table_);
  ShowClashes(names);
  // With no name changed the marks are final, but the worker still learns
  // the files just added, to tell later whether one was replaced.
  clashesFromDisk_ = names.changed.empty();
  // After the command: the history entry it records is packed before the
  // worker's copy shares its storage.
  if (table_.RowCount() == 0 || clashPostPending_) return;
  clashPostPending_ = true;
  QMetaObject::invokeMethod(
      this, [this] { PostClashCheck(); }, Qt::QueuedConnection);
}

void TfrmMain::PostClashCheck() {
  clashPostPending_ = false;
  if (!clashWorker_)
    clashWorker_ = std::make_unique<ClashWorker>(
        [this](std::uint64_t generation, ClashCheck check, TCsvDb table) {
          auto answer =
              std::make_shared<std::pair<ClashCheck, TCsvDb>>(std::move(check), std::move(table));
          QMetaObject::invokeMethod(
              this,
              [this, generation, answer] {
                if (generation != clashGeneration_) return;  // the list changed since
                clashesFromDisk_ = true;
                ShowClashes(answer->first);
              },
              Qt::QueuedConnection);
        });
  clashWorker_->Post(clashGeneration_, table_);
}

void TfrmMain::ShowClashes(const ClashCheck& check) {
  model_->SetClashes(check);
  panelClash_->setText(check.clashes > 0 ? QStringLiteral("衝突 %1").arg(check.clashes)
                                         : QString());
}

void TfrmMain::mnuSelectClashesClick() {
  std::vector<int> rows;
  for (int row = 0; row < model_->rowCount(); ++row)
    if (model_->ClashOf(row).clash != Clash::None) rows.push_back(row);
  SelectRows(rows);
  SetStatusText(1, QString::number(rows.size()) + QStringLiteral("個のファイルを選択しました。"));
  RecordUndo(QStringLiteral("衝突する行を選択"));
}

// The clashes as the question before a run shows them: "old → new（reason）",
// the first rows only.
QString TfrmMain::ClashSummary() {
  // Marks still waiting for the disk are looked up now: the run is about to
  // touch the disk anyway.
  std::vector<RowClash> rows;
  if (clashesFromDisk_) {
    for (int row = 0; row < model_->rowCount(); ++row)
      if (model_->ClashOf(row).clash != Clash::None) rows.push_back(model_->ClashOf(row));
  } else {
    for (const RowClash& r : CheckClashesOnDisk(table_, nullptr).changed)
      if (r.clash != Clash::None) rows.push_back(r);
  }
  if (rows.empty()) return {};
  QString text = QStringLiteral(
                     "衝突 %1 個：次の行はこのままでは名前を変更できないか、"
                     "同じ名前の確認が出ます。\r\n")
                     .arg(rows.size());
  for (size_t i = 0; i < rows.size() && i < kSummaryRows; ++i) {
    const RowClash& r = rows[i];
    const QString to = table_.MarkedForDeletion(r.row)
                           ? QStringLiteral("（ごみ箱へ）")
                           : ShownName(std::string(table_.GetCell(colNewName, r.row))
                                           .append(table_.GetCell(colExt, r.row)));
    text += ShownName(ExtractFileName(table_.GetCell(colPath, r.row))) + QStringLiteral(" → ") +
            to + WithControlPictures(QString::fromStdString(ClashText(table_, r))) +
            QStringLiteral("\r\n");
  }
  if (rows.size() > kSummaryRows)
    text += QStringLiteral("ほか %1 個\r\n").arg(rows.size() - kSummaryRows);
  return text + QStringLiteral("\r\n");
}

}  // namespace tonbo
