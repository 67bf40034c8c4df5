#include "windows/TfrmReplace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <string>
#include <utility>
#include <vector>

#include "commands/Recipe.h"
#include "commands/ReplaceSamples.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Folders.h"
#include "common/Sjis.h"
#include "platform/Launcher.h"
#include "windows/Controls.h"
#include "windows/NameFont.h"
#include "windows/PageWindow.h"

namespace tonbo {
namespace {

using ui::Check;
using ui::Edit;
using ui::Text;
using ui::U;

const char* const kScopes[] = {"ファイル名", "ファイル名＋拡張子", "拡張子のみ"};

// No button is a default one: Enter runs the replacement only from the
// command box, and never twice.
QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(U(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TfrmReplace::TfrmReplace(ListHost& host, QWidget* parent)
    : QDialog(parent), host_(host), explanationsOn_([] { return true; }) {
  setObjectName(QStringLiteral("frmReplace"));
  setWindowTitle(U("ファイル名置換"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildScope());
  page_ = new QTabWidget(this);
  page_->setObjectName(QStringLiteral("page"));
  page_->addTab(BuildPlainPage(), U("通常の置換"));
  page_->addTab(BuildRegExpPage(), U("正規表現置換"));
  layout->addWidget(page_);
  layout->addLayout(BuildBottomRow());
}

QWidget* TfrmReplace::BuildScope() {
  auto* group = new QGroupBox(U("置換の範囲"), this);
  group->setObjectName(QStringLiteral("grpScope"));
  auto* radios = new QHBoxLayout(group);
  grpScope_ = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* radio = new QRadioButton(U(kScopes[i]), group);
    radio->setObjectName(QStringLiteral("grpScope%1").arg(i));
    grpScope_->addButton(radio, i);
    radios->addWidget(radio);
  }
  grpScope_->button(0)->setChecked(true);
  return group;
}

QWidget* TfrmReplace::BuildPlainPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  edt1_ = Edit(page, "edt1");
  edt2_ = Edit(page, "edt2");
  UseNameFont(edt1_);
  UseNameFont(edt2_);
  chkUseCase_ = Check(page, "chkUseCase", "大文字小文字を区別");
  chkRepOne_ = Check(page, "chkRepOne", "先頭の１個のみ置換");
  grid->addWidget(Text(page, "置換の範囲にある"), 0, 0);
  grid->addWidget(edt1_, 0, 1);
  grid->addWidget(Text(page, "を"), 0, 2);
  grid->addWidget(edt2_, 1, 1);
  grid->addWidget(Text(page, "に置換する"), 1, 2);
  grid->addWidget(chkUseCase_, 2, 1);
  grid->addWidget(chkRepOne_, 3, 1);
  grid->setRowStretch(4, 1);
  return page;
}

QWidget* TfrmReplace::BuildRegExpPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  cmbSample_ = new QComboBox(page);
  cmbSample_->setObjectName(QStringLiteral("cmbSample"));
  cmbSample_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  edtReKey_ = Edit(page, "edtReKey");
  // A fixed-pitch font; full-width forms fall back to the Japanese font and
  // show full width there.
  edtReKey_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  connect(edtReKey_, &QLineEdit::returnPressed, this, &TfrmReplace::btnReExecuteClick);
  auto* copy = Button(page, "btnCopy", "↓");
  connect(copy, &QPushButton::clicked, this, &TfrmReplace::btnCopyClick);
  auto* edit = Button(page, "btnEditSample", "サンプルを編集");
  connect(edit, &QPushButton::clicked, this, &TfrmReplace::btnEditSampleClick);
  auto* notes = Button(page, "Button1", "正規表現説明");
  connect(notes, &QPushButton::clicked, this, &TfrmReplace::Button1Click);
  grid->addWidget(Text(page, "サンプル："), 0, 0);
  grid->addWidget(cmbSample_, 0, 1);
  grid->addWidget(copy, 0, 2);
  grid->addWidget(Text(page, "正規表現"), 1, 0);
  grid->addWidget(edtReKey_, 1, 1, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(edit);
  buttons->addWidget(notes);
  grid->addLayout(buttons, 2, 1, 1, 2);
  grid->setRowStretch(3, 1);
  return page;
}

QLayout* TfrmReplace::BuildBottomRow() {
  auto* row = new QHBoxLayout;
  auto* help =
      new QLabel(QStringLiteral("<a href=\"replace\">%1</a>").arg(U("使い方を表示")), this);
  help->setObjectName(QStringLiteral("lblHelp"));
  help->setCursor(Qt::PointingHandCursor);
  connect(help, &QLabel::linkActivated, this, &TfrmReplace::lblHelpClick);
  auto* run = Button(this, "btnReExecute", "置換実行(&R)");
  connect(run, &QPushButton::clicked, this, &TfrmReplace::btnReExecuteClick);
  row->addWidget(help);
  row->addStretch(1);
  row->addWidget(run);
  return row;
}

void TfrmReplace::ShowPage(Page page) {
  show();
  raise();
  activateWindow();
  page_->setCurrentIndex(page);
}

void TfrmReplace::SetExplanationsOn(std::function<bool()> on) { explanationsOn_ = std::move(on); }

ReplaceOptions TfrmReplace::Options() const {
  ReplaceOptions o;
  o.scope = static_cast<ReplaceScope>(grpScope_->checkedId());
  o.regularExpression = page_->currentIndex() == pageRegExp;
  o.search = enc::ToSjis(edt1_->text());
  o.replacement = enc::ToSjis(edt2_->text());
  o.matchCase = chkUseCase_->isChecked();
  o.firstOnly = chkRepOne_->isChecked();
  o.command = enc::ToSjis(edtReKey_->text());
  return o;
}

void TfrmReplace::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

// The samples are read again at every showing, so edits to the file appear.
void TfrmReplace::FormShow() {
  std::vector<std::string> lines;
  if (!LoadReplaceSamples(ReplaceSamplePath(ProgramDirDisk()), lines)) return;
  cmbSample_->clear();
  for (const std::string& line : lines) cmbSample_->addItem(enc::FromSjis(line));
  if (cmbSample_->count() > 0) cmbSample_->setCurrentIndex(0);
}

void TfrmReplace::btnCopyClick() {
  edtReKey_->setText(enc::FromSjis(SampleCommand(enc::ToSjis(cmbSample_->currentText()))));
}

void TfrmReplace::btnEditSampleClick() {
  const std::string samples = ProgramDirDisk() + "tools/re_sample.txt";
  if (!platform::OpenDiskPath(samples)) ShowFileHere(samples, this);
}

void TfrmReplace::Button1Click() {
  const std::string notes = ProgramDirDisk() + "doc/find.txt";
  if (!platform::OpenDiskPath(notes)) ShowFileHere(notes, this);
}

void TfrmReplace::lblHelpClick() {
  if (explanationsOn_()) host_.ShowExplanation(QStringLiteral("replace"), false);
}

void TfrmReplace::btnReExecuteClick() {
  ReplaceOptions options = Options();
  if (PutExtensionDot(options)) edt2_->setText(enc::FromSjis(options.replacement));
  const std::vector<int> rows = host_.SelectedRows();
  if (rows.empty()) {
    ShowWarning(U("ファイルが選択されていません。"), U("ファイル名の置換"));
    return;
  }
  // Recorded before anything changes, so a run ended by an error is undone
  // like a finished one.
  host_.NoteSteps({ReplaceLine(options)});
  host_.RecordUndo(U("文字列の置換"));
  int count = 0;
  try {
    count = ReplaceInNames(host_.Table(), rows, options);
  } catch (const ETonboError& e) {
    ShowError(QString::fromUtf8(e.what()));
    return;
  }
  host_.RefreshList();
  ShowInfo(QString::number(count) + U(" 個のファイルを置換しました。"));
}

}  // namespace tonbo
