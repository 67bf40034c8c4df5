#include "windows/TfrmTagName.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "commands/TagPattern.h"
#include "common/Sjis.h"
#include "windows/Controls.h"

namespace tonbo {
namespace {

using ui::Edit;
using ui::Text;
using ui::U;

constexpr const char* kDefaultPattern = "[撮影日時:yyyymmdd_hhnnss]";

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

TfrmTagName::TfrmTagName(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmTagName"));
  setWindowTitle(U("タグから名前を付ける"));
  edtPattern_ = Edit(this, "edtPattern");
  edtPattern_->setText(U(kDefaultPattern));
  lstFields_ = Named(new QListWidget(this), "lstFields");
  for (const TagFieldName& f : TagFieldNames())
    lstFields_->addItem(QStringLiteral("[%1]").arg(U(f.utf8Name)));
  lstFields_->setCurrentRow(0);
  auto* insert = Named(new QPushButton(U("挿入"), this), "btnInsert");
  insert->setAutoDefault(false);
  memSample_ = Named(new QPlainTextEdit(this), "memSample");
  memSample_->setReadOnly(true);
  memSample_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  lblError_ = Named(new QLabel(this), "lblError");
  lblError_->setWordWrap(true);
  lblError_->setStyleSheet(QStringLiteral("color: #c00000"));
  btnOk_ = Named(new QPushButton(U("OK"), this), "btnOk");
  btnOk_->setDefault(true);
  auto* cancel = Named(new QPushButton(U("キャンセル"), this), "btnCancel");

  auto* fields = new QVBoxLayout;
  fields->addWidget(Text(this, "項目"));
  fields->addWidget(lstFields_, 1);
  fields->addWidget(insert);
  auto* right = new QVBoxLayout;
  right->addWidget(Text(this, "名前の形（拡張子はそのまま）"));
  right->addWidget(edtPattern_);
  right->addWidget(BuildMissingGroup());
  right->addWidget(Text(this, "サンプル"));
  right->addWidget(memSample_, 1);
  right->addWidget(lblError_);
  auto* columns = new QHBoxLayout;
  columns->addLayout(fields);
  columns->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOk_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);
  resize(620, 380);

  connect(edtPattern_, &QLineEdit::textChanged, this, &TfrmTagName::edtPatternChange);
  connect(edtMissing_, &QLineEdit::textChanged, this, &TfrmTagName::edtPatternChange);
  connect(rdoMissingText_, &QRadioButton::toggled, this, &TfrmTagName::edtPatternChange);
  connect(insert, &QPushButton::clicked, this, &TfrmTagName::btnInsertClick);
  connect(lstFields_, &QListWidget::itemDoubleClicked, this, &TfrmTagName::btnInsertClick);
  connect(btnOk_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  edtPatternChange();
}

QWidget* TfrmTagName::BuildMissingGroup() {
  auto* group = Named(new QGroupBox(U("項目がないとき"), this), "grpMissing");
  rdoMissingEmpty_ = Named(new QRadioButton(U("空にする"), group), "rdoMissingEmpty");
  rdoMissingText_ = Named(new QRadioButton(U("次の文字にする"), group), "rdoMissingText");
  rdoMissingEmpty_->setChecked(true);
  edtMissing_ = Edit(group, "edtMissing");
  edtMissing_->setText(U("不明"));
  auto* row = new QHBoxLayout(group);
  row->addWidget(rdoMissingEmpty_);
  row->addWidget(rdoMissingText_);
  row->addWidget(edtMissing_, 1);
  return group;
}

void TfrmTagName::SetSamples(std::vector<TagNameSample> samples) {
  samples_ = std::move(samples);
  edtPatternChange();
}

std::string TfrmTagName::Pattern() const { return enc::ToSjis(edtPattern_->text()); }

std::string TfrmTagName::Missing() const {
  return rdoMissingText_->isChecked() ? enc::ToSjis(edtMissing_->text()) : std::string();
}

void TfrmTagName::SetPattern(const std::string& sjisPattern, const std::string& sjisMissing) {
  edtPattern_->setText(enc::FromSjis(sjisPattern));
  (sjisMissing.empty() ? rdoMissingEmpty_ : rdoMissingText_)->setChecked(true);
  if (!sjisMissing.empty()) edtMissing_->setText(enc::FromSjis(sjisMissing));
}

void TfrmTagName::edtPatternChange() {
  QStringList lines;
  QString error;
  try {
    const TagPattern pattern(Pattern());
    const std::string missing = Missing();
    for (const TagNameSample& s : samples_) {
      const LocalDateTime* modified = s.modified ? &*s.modified : nullptr;
      std::string name = pattern.Name({s.tags, modified, s.oldName}, missing);
      if (name.empty()) name = s.oldName;
      lines << enc::FromSjis(s.oldName + s.ext) + QStringLiteral(" -> ") +
                   enc::FromSjis(name + s.ext);
    }
  } catch (const ETagPatternError& e) {
    error = QString::fromUtf8(e.what());
  }
  const bool ok = error.isEmpty() && !edtPattern_->text().isEmpty();
  memSample_->setPlainText(lines.join(QLatin1Char('\n')));
  lblError_->setText(error);
  btnOk_->setEnabled(ok);
}

void TfrmTagName::btnInsertClick() {
  if (QListWidgetItem* item = lstFields_->currentItem()) edtPattern_->insert(item->text());
  edtPattern_->setFocus();
}

}  // namespace tonbo
