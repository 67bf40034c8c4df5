#include "windows/TfrmFormat.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "commands/RulesSettings.h"
#include "common/Sjis.h"
#include "windows/Controls.h"

namespace tonbo {
namespace {

using ui::Check;
using ui::Edit;
using ui::Text;
using ui::U;

constexpr int kNoLimitMin = std::numeric_limits<int>::min();
constexpr int kNoLimitMax = std::numeric_limits<int>::max();
constexpr int kRenbanSampleCount = 101;
constexpr int kDateSampleCount = 30;

QGroupBox* Group(QWidget* parent, const char* name, const char* title) {
  auto* group = new QGroupBox(U(title), parent);
  group->setObjectName(QString::fromLatin1(name));
  return group;
}

QSpinBox* Spin(QWidget* parent, const char* name, int min, int max) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(min, max);
  return spin;
}

// Only the listed choices: the list is not editable.
QComboBox* Combo(QWidget* parent, const char* name, const QStringList& choices) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(false);
  combo->addItems(choices);
  return combo;
}

QGroupBox* ComboGroup(QWidget* page, QComboBox* combo, const char* name, const char* title) {
  auto* group = Group(page, name, title);
  auto* row = new QHBoxLayout(group);
  row->addWidget(combo, 1);
  return group;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> items) {
  auto* row = new QHBoxLayout;
  for (QWidget* item : items) row->addWidget(item);
  row->addStretch();
  return row;
}

QPlainTextEdit* Sample(QWidget* parent, const char* name) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setReadOnly(true);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // Wide enough for the longest date pattern with a header and a serial.
  memo->setMinimumWidth(memo->fontMetrics().horizontalAdvance(QString(34, QLatin1Char('0'))));
  return memo;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(U(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  // Enter in a text field must not press a button of this dialog.
  button->setAutoDefault(false);
  return button;
}

// "サンプル": the sample box over its "テスト" button.
QGroupBox* SampleGroup(QWidget* page, const char* name, QPlainTextEdit* memo, QPushButton* test) {
  auto* group = Group(page, name, "サンプル");
  auto* column = new QVBoxLayout(group);
  column->addWidget(memo, 1);
  column->addWidget(test, 0, Qt::AlignRight);
  return group;
}

QString SjisLines(const std::vector<std::string>& lines) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) out << enc::FromSjis(line);
  return out.join(QLatin1Char('\n'));
}

}  // namespace

TfrmFormat::TfrmFormat(QWidget* parent) : QDialog(parent), pages_(new QTabWidget(this)) {
  setObjectName(QStringLiteral("frmFormat"));
  setWindowTitle(U("名前変換規則の設定"));
  pages_->setObjectName(QStringLiteral("pgcFormat"));
  pages_->addTab(BuildRandomPage(), U("ランダムに名前変更"));
  pages_->addTab(BuildRenbanPage(), U("連番をふる"));
  pages_->addTab(BuildDatePage(), U("日付をふる"));
  pages_->setCurrentIndex(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_, 1);
  layout->addLayout(BuildBottomRow());
  RenameRules design;
  design.renbanHeader = "K";  // replaced by the stored settings before the dialog is seen
  SetRules(design);
}

QWidget* TfrmFormat::BuildRandomPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tabRandom"));
  auto* length = Group(page, "grpRandomLength", "ファイル名の文字数");
  spnRandomFrom_ = Spin(length, "spnRandomFrom", 1, 30);
  auto* tilde = Text(length, "～");
  spnRandomTo_ = Spin(length, "spnRandomTo", 1, 30);
  length->setLayout(Row({spnRandomFrom_, tilde, spnRandomTo_, Text(length, "文字")}));
  auto* chars = Group(page, "grpRandomChars", "ファイル名に利用する文字構成");
  chkRandomLower_ = Check(chars, "chkRandomLower", "アルファベット小文字");
  chkRandomUpper_ = Check(chars, "chkRandomUpper", "アルファベット大文字");
  chkRandomNum_ = Check(chars, "chkRandomNum", "数字");
  chkRandomSymbol_ = Check(chars, "chkRandomSymbol", "記号");
  chkRandomHira_ = Check(chars, "chkRandomHira", "ひらがな");
  chkRandomKana_ = Check(chars, "chkRandomKana", "カタカナ");
  auto* grid = new QGridLayout(chars);
  QCheckBox* const boxes[] = {chkRandomLower_,  chkRandomUpper_, chkRandomNum_,
                              chkRandomSymbol_, chkRandomHira_,  chkRandomKana_};
  for (int i = 0; i < 6; ++i) grid->addWidget(boxes[i], i % 3, i / 3);
  auto* column = new QVBoxLayout(page);
  column->addWidget(length);
  column->addWidget(chars);
  column->addStretch();
  return page;
}

QWidget* TfrmFormat::BuildRenbanPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tabRenban"));
  auto* left = new QVBoxLayout;
  left->addWidget(BuildRenbanNumberGroup(page));
  auto* header = Group(page, "grpRenbanHeader", "ヘッダ／フッタ");
  auto* form = new QFormLayout(header);
  edtRenbanHeader_ = Edit(header, "edtRenbanHeader");
  form->addRow(Text(header, "ヘッダ"), edtRenbanHeader_);
  edtRenbanFooter_ = Edit(header, "edtRenbanFooter");
  form->addRow(Text(header, "フッタ"), edtRenbanFooter_);
  left->addWidget(header);
  left->addWidget(BuildRenbanPatternGroup(page));
  cmbRenbanDate_ = Combo(page, "cmbRenbanDate",
                         {U("挿入しない"), U("yymmdd 方式"), U("yy_mm_dd 方式"), U("yyyymmdd 方式"),
                          U("yyyy_mm_dd 方式")});
  left->addWidget(ComboGroup(page, cmbRenbanDate_, "grpRenbanDate", "ファイル更新日"));
  cmbRenbanOldName_ = Combo(page, "cmbRenbanOldName", {U("挿入しない"), U("挿入する")});
  left->addWidget(ComboGroup(page, cmbRenbanOldName_, "grpRenbanOldName", "元の名前"));
  left->addStretch();
  memRenbanSample_ = Sample(page, "memRenbanSample");
  auto* test = Button(page, "btnRenbanTest", "テスト");
  connect(test, &QPushButton::clicked, this, &TfrmFormat::btnRenbanTestClick);
  auto* columns = new QHBoxLayout(page);
  columns->addLayout(left);
  columns->addWidget(SampleGroup(page, "grpRenbanSample", memRenbanSample_, test), 1);
  return page;
}

QGroupBox* TfrmFormat::BuildRenbanNumberGroup(QWidget* page) {
  auto* group = Group(page, "grpRenban", "連番");
  spnRenbanLength_ = Spin(group, "spnRenbanLength", 0, 30);
  auto* digits = Text(group, "桁");
  spnRenbanStart_ = Spin(group, "spnRenbanStart", kNoLimitMin, kNoLimitMax);
  group->setLayout(Row({spnRenbanLength_, digits, spnRenbanStart_, Text(group, "番から")}));
  return group;
}

QGroupBox* TfrmFormat::BuildRenbanPatternGroup(QWidget* page) {
  auto* group = Group(page, "grpRenbanPattern", "連番の方式");
  grpRenbanPattern_ = new QButtonGroup(group);
  auto* column = new QVBoxLayout(group);
  const char* const choices[] = {"１０進数（一般的）", "１６進数（機械的）",
                                 "数字の代わりにアルファベットを並べる"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(U(choices[i]), group);
    radio->setObjectName(QStringLiteral("grpRenbanPattern%1").arg(i));
    grpRenbanPattern_->addButton(radio, i);
    column->addWidget(radio);
  }
  return group;
}

QWidget* TfrmFormat::BuildDatePage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tabDate"));
  auto* left = new QVBoxLayout;
  QStringList formats;
  for (const std::string& pattern : DateFormatChoices()) formats << enc::FromSjis(pattern);
  cmbDateFormat_ = Combo(page, "cmbDateFormat", formats);
  left->addWidget(ComboGroup(page, cmbDateFormat_, "grpDateFormat", "日付の形式"));
  cmbDateSource_ = Combo(page, "cmbDateSource", {U("更新日時"), U("撮影日時（なければ更新日時）")});
  left->addWidget(ComboGroup(page, cmbDateSource_, "grpDateSource", "日付の元"));
  left->addWidget(BuildDateSerialGroup(page));
  // Header on the left, footer on the right, as the caption reads.
  auto* header = Group(page, "grpDateHeader", "ヘッダ／フッタ");
  edtDateHeader_ = Edit(header, "edtDateHeader");
  edtDateFooter_ = Edit(header, "edtDateFooter");
  auto* pair = new QHBoxLayout(header);
  pair->addWidget(edtDateHeader_);
  pair->addWidget(edtDateFooter_);
  left->addWidget(header);
  left->addStretch();
  memDate_ = Sample(page, "memDate");
  auto* test = Button(page, "btnDateTest", "テスト");
  connect(test, &QPushButton::clicked, this, &TfrmFormat::btnDateTestClick);
  auto* columns = new QHBoxLayout(page);
  columns->addLayout(left);
  columns->addWidget(SampleGroup(page, "grpDateSample", memDate_, test), 1);
  return page;
}

QGroupBox* TfrmFormat::BuildDateSerialGroup(QWidget* page) {
  auto* group = Group(page, "grpDateSerial", "名前に付加する連番");
  auto* serial = Text(group, "連番");
  spnDateKeta_ = Spin(group, "spnDateKeta", 0, 30);
  auto* digits = Text(group, "桁");
  spnDateStart_ = Spin(group, "spnDateStart", kNoLimitMin, kNoLimitMax);
  auto* column = new QVBoxLayout(group);
  column->addLayout(Row({serial, spnDateKeta_, digits, spnDateStart_, Text(group, "番から")}));
  auto* caption = new QVBoxLayout;
  caption->setSpacing(0);
  caption->addWidget(Text(group, "日付と連番の"));
  caption->addWidget(Text(group, "区切り記号"));
  edtDateSplitter_ = Edit(group, "edtDateSplitter");
  auto* splitter = new QHBoxLayout;
  splitter->addLayout(caption);
  splitter->addWidget(edtDateSplitter_, 1);
  column->addLayout(splitter);
  return group;
}

QLayout* TfrmFormat::BuildBottomRow() {
  auto* help = new QLabel(
      QStringLiteral("<a href=\"filename\">%1</a>").arg(U("ファイル名に使える文字について")), this);
  help->setObjectName(QStringLiteral("lblHelp2"));
  help->setTextFormat(Qt::RichText);
  help->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  help->setOpenExternalLinks(false);
  connect(help, &QLabel::linkActivated, this, &TfrmFormat::helpRequested);
  auto* close = Button(this, "btnClose", "閉じる(&C)");
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(help);
  row->addStretch();
  row->addWidget(close);
  return row;
}

RenameRules TfrmFormat::Rules() const {
  RenameRules r;
  r.randomFrom = spnRandomFrom_->value();
  r.randomTo = spnRandomTo_->value();
  r.randomLower = chkRandomLower_->isChecked();
  r.randomUpper = chkRandomUpper_->isChecked();
  r.randomNum = chkRandomNum_->isChecked();
  r.randomSymbol = chkRandomSymbol_->isChecked();
  r.randomHira = chkRandomHira_->isChecked();
  r.randomKana = chkRandomKana_->isChecked();
  r.renbanLength = spnRenbanLength_->value();
  r.renbanHeader = enc::ToSjis(edtRenbanHeader_->text());
  r.renbanFooter = enc::ToSjis(edtRenbanFooter_->text());
  r.renbanDate = cmbRenbanDate_->currentIndex();
  r.renbanOldName = cmbRenbanOldName_->currentIndex();
  r.renbanPattern = grpRenbanPattern_->checkedId();
  r.renbanStart = spnRenbanStart_->value();
  r.dateFormat = cmbDateFormat_->currentIndex();
  r.dateKeta = spnDateKeta_->value();
  r.dateSplitter = enc::ToSjis(edtDateSplitter_->text());
  r.dateHeader = enc::ToSjis(edtDateHeader_->text());
  r.dateFooter = enc::ToSjis(edtDateFooter_->text());
  r.dateStart = spnDateStart_->value();
  r.dateSource = cmbDateSource_->currentIndex();
  return r;
}

void TfrmFormat::SetRules(const RenameRules& rules) {
  RenameRules r = rules;
  r.Clamp();
  spnRandomFrom_->setValue(r.randomFrom);
  spnRandomTo_->setValue(r.randomTo);
  chkRandomLower_->setChecked(r.randomLower);
  chkRandomUpper_->setChecked(r.randomUpper);
  chkRandomNum_->setChecked(r.randomNum);
  chkRandomSymbol_->setChecked(r.randomSymbol);
  chkRandomHira_->setChecked(r.randomHira);
  chkRandomKana_->setChecked(r.randomKana);
  spnRenbanLength_->setValue(r.renbanLength);
  edtRenbanHeader_->setText(enc::FromSjis(r.renbanHeader));
  edtRenbanFooter_->setText(enc::FromSjis(r.renbanFooter));
  cmbRenbanDate_->setCurrentIndex(r.renbanDate);
  cmbRenbanOldName_->setCurrentIndex(r.renbanOldName);
  grpRenbanPattern_->button(r.renbanPattern)->setChecked(true);
  spnRenbanStart_->setValue(r.renbanStart);
  cmbDateFormat_->setCurrentIndex(r.dateFormat);
  spnDateKeta_->setValue(r.dateKeta);
  edtDateSplitter_->setText(enc::FromSjis(r.dateSplitter));
  edtDateHeader_->setText(enc::FromSjis(r.dateHeader));
  edtDateFooter_->setText(enc::FromSjis(r.dateFooter));
  spnDateStart_->setValue(r.dateStart);
  cmbDateSource_->setCurrentIndex(r.dateSource);
}

void TfrmFormat::LoadSettings(const TIniFileEx& ini) { SetRules(LoadRenameRules(ini)); }

void TfrmFormat::SaveSettings(TIniFileEx& ini) const { SaveRenameRules(Rules(), ini); }

void TfrmFormat::btnRenbanTestClick() {
  const RenameRules rules = Rules();
  const LocalDateTime now = CurrentLocalDateTime();
  // Counted in 64 bits: the first number may be the largest int.
  const long long first = rules.renbanStart;
  std::vector<std::string> lines;
  for (long long n = first; n < first + kRenbanSampleCount; ++n)
    lines.push_back(FormatSerialName(rules, n, "FileName", now));
  memRenbanSample_->setPlainText(SjisLines(lines));
}

void TfrmFormat::btnDateTestClick() {
  const RenameRules rules = Rules();
  const LocalDateTime now = CurrentLocalDateTime();
  std::vector<std::string> lines;
  for (int serial = 1; serial <= kDateSampleCount; ++serial)
    lines.push_back(FormatDateName(rules, serial, now));
  memDate_->setPlainText(SjisLines(lines));
}

}  // namespace tonbo
