#pragma once
// "タグから名前を付ける": the pattern of fixed text and tag fields, a list of
// the fields to insert from, what a missing field becomes, and a live
// sample of the first selected rows (old name -> new name). The dialog only
// edits the pattern; the main window reads the files and names the rows.
#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "tags/MediaTags.h"
#include "text/RenameRules.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tonbo {

// One row shown in the sample, code page 932.
struct TagNameSample {
  std::string oldName, ext;
  std::optional<LocalDateTime> modified;
  tags::MediaTags tags;
};

class TfrmTagName : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmTagName(QWidget* parent = nullptr);

  void SetSamples(std::vector<TagNameSample> samples);
  // What OK accepted, code page 932.
  std::string Pattern() const;
  std::string Missing() const;
  void SetPattern(const std::string& sjisPattern, const std::string& sjisMissing);

 public Q_SLOTS:
  // Redraws the sample, or shows why the pattern cannot be read.
  void edtPatternChange();
  // Puts the chosen field at the cursor of the pattern.
  void btnInsertClick();

 private:
  QWidget* BuildMissingGroup();

  std::vector<TagNameSample> samples_;
  QLineEdit* edtPattern_ = nullptr;
  QListWidget* lstFields_ = nullptr;
  QRadioButton* rdoMissingEmpty_ = nullptr;
  QRadioButton* rdoMissingText_ = nullptr;
  QLineEdit* edtMissing_ = nullptr;
  QPlainTextEdit* memSample_ = nullptr;
  QLabel* lblError_ = nullptr;
  QPushButton* btnOk_ = nullptr;
};

}  // namespace tonbo
