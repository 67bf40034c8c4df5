// "タグから名前を付ける…": the dialog takes a pattern, shown on the first
// selected rows; then every selected file is read once, with progress and a
// stop, and the rows are named from what the files say about themselves.
#include "app/TfrmMain.h"
#include "commands/TagNaming.h"
#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "windows/TfrmTagName.h"

namespace tonbo {
namespace {

constexpr size_t kSampleRows = 5;
// The last pattern is kept for the next run and the next start.
constexpr const char* kSection = "setting";
constexpr const char* kPatternKey = "edtTagPattern.Text";
constexpr const char* kMissingKey = "edtTagMissing.Text";

}  // namespace

void TfrmMain::mnuRenameFromTagsClick() {
  if (!ConfirmAction(QStringLiteral("rename_tags"))) return;
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    ShowWarning(QStringLiteral("範囲が選択されていません。"), QStringLiteral("名前変更"));
    return;
  }
  if (!frmTagName_) {
    frmTagName_ = new TfrmTagName(this);
    const std::string pattern = ini_->ReadString(kSection, kPatternKey, "");
    if (!pattern.empty())
      frmTagName_->SetPattern(pattern, ini_->ReadString(kSection, kMissingKey, ""));
  }
  std::vector<TagNameSample> samples;
  for (size_t i = 0; i < rows.size() && i < kSampleRows; ++i) {
    TagNameSample s{std::string(table_.GetCell(colNewName, rows[i])),
                    std::string(table_.GetCell(colExt, rows[i])), std::nullopt,
                    tagSource_.mediaTags(RowDiskPath(rows[i]))};
    LocalDateTime modified;
    if (ParseDateText(table_.GetCell(colModified, rows[i]), modified)) s.modified = modified;
    samples.push_back(std::move(s));
  }
  frmTagName_->SetSamples(std::move(samples));
  if (Dialogs().RunModal(*frmTagName_) != QDialog::Accepted) return;
  ini_->WriteString(kSection, kPatternKey, frmTagName_->Pattern());
  ini_->WriteString(kSection, kMissingKey, frmTagName_->Missing());
  const TagPattern pattern(frmTagName_->Pattern());
  std::vector<tags::MediaTags> tags;
  if (pattern.ReadsFiles()) {
    TfrmProgress progress(this, QStringLiteral("タグの読み込み"), progressClock_);
    std::optional<std::vector<tags::MediaTags>> read =
        ReadRowTags(table_, rows, tagSource_, &progress);
    if (!read) return;  // stopped: no name has changed
    tags = std::move(*read);
  }
  const int named = NameFromTags(table_, rows, pattern, tags, frmTagName_->Missing());
  RefreshList();
  RecordUndo(QStringLiteral("タグから命名"));
  SetStatusText(1, QString::fromStdString(TagNamedText(named)));
}

}  // namespace tonbo
