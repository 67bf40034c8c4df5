#include "windows/TfrmFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Folders.h"
#include "common/Sjis.h"
#include "core/ListHost.h"
#include "platform/Launcher.h"
#include "windows/PageWindow.h"

namespace tonbo {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// Only the listed choices: the lists are not editable.
QComboBox* Choices(QWidget* parent, const char* name, const QStringList& items) {
  auto* combo = Named(new QComboBox(parent), name);
  combo->setEditable(false);
  combo->addItems(items);
  return combo;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  return Named(new QCheckBox(U(caption), parent), name);
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = Named(new QPushButton(U(caption), parent), name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TfrmFilter::TfrmFilter(ListHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("frmFilter"));
  setWindowTitle(U("条件から選択"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(BuildCondition());
  chkWildcard_ = Check(this, "chkWildcard", "ワイルドカードを使う");
  chkRegExp_ = Check(this, "chkRegExp", "正規表現を使う(Perl5互換)");
  chkUseCase_ = Check(this, "chkUseCase", "大文字小文字を区別する");
  for (QCheckBox* box : {chkWildcard_, chkRegExp_, chkUseCase_}) layout->addWidget(box);
  layout->addLayout(BuildButtons());
  connect(chkWildcard_, &QCheckBox::toggled, this, &TfrmFilter::chkWildcardClick);
  connect(chkRegExp_, &QCheckBox::toggled, this, &TfrmFilter::chkRegExpClick);
}

// Reads as a sentence: [part] において [key] という文字列を [含む] ファイルを選択する.
QLayout* TfrmFilter::BuildCondition() {
  cmbScope_ = Choices(this, "cmbScope",
                      {U("ファイル名"), U("拡張子"), U("ファイル名＋拡張子"),
                       U("パス＋元ファイル名"), U("日付"), U("ファイルの内容")});
  cmbScope_->setCurrentIndex(-1);
  edtKey_ = Named(new QLineEdit(this), "edtKey");
  cmbInclude_ = Choices(this, "cmbInclude", {U("含む"), U("含まない")});
  auto* grid = new QGridLayout;
  const std::pair<QWidget*, const char*> rows[] = {
      {cmbScope_, "において"}, {edtKey_, "という文字列を"}, {cmbInclude_, "ファイルを選択する"}};
  int row = 0;
  for (const auto& [control, caption] : rows) {
    auto* label = new QLabel(U(caption), this);
    label->setBuddy(control);
    grid->addWidget(control, row, 0);
    grid->addWidget(label, row++, 1);
  }
  grid->setColumnStretch(0, 1);
  return grid;
}

QLayout* TfrmFilter::BuildButtons() {
  btnExecute_ = Button(this, "btnExecute", "実行(&E)");
  btnExecute_->setDefault(true);  // Enter in the key runs the selection
  btnHelp_ = Button(this, "btnHelp", "ヘルプ(&H)");
  connect(btnExecute_, &QPushButton::clicked, this, &TfrmFilter::btnExecuteClick);
  connect(btnHelp_, &QPushButton::clicked, this, &TfrmFilter::btnHelpClick);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(btnExecute_);
  row->addWidget(btnHelp_);
  return row;
}

void TfrmFilter::Open() {  // NOLINT(bugprone-virtual-near-miss): see the declaration
  show();
  raise();
  activateWindow();
}

FilterOptions TfrmFilter::Options() const {
  FilterOptions o;
  o.scope = static_cast<FilterScope>(cmbScope_->currentIndex());
  o.key = enc::ToSjis(edtKey_->text());
  o.exclude = cmbInclude_->currentIndex() == 1;
  o.method = chkWildcard_->isChecked() ? FilterMethod::Wildcard
             : chkRegExp_->isChecked() ? FilterMethod::RegExp
                                       : FilterMethod::Plain;
  o.useCase = chkUseCase_->isChecked();
  return o;
}

void TfrmFilter::btnExecuteClick() {
  // Pending events are handled while files are read; a second click then
  // must not start a second run.
  if (running_) return;
  running_ = true;
  btnExecute_->setEnabled(false);
  const auto done = qScopeGuard([this] {
    btnExecute_->setEnabled(true);
    running_ = false;
  });
  Run(Options());
}

void TfrmFilter::Run(const FilterOptions& options) {
  host_.RecordUndo(U("条件選択"));
  // The rows as they are now: events handled during the run cannot change them under it.
  const TCsvDb table = host_.Table();
  std::vector<bool> decided;
  try {
    const int count = SelectByCondition(table, options, decided, [this] { host_.ProcessEvents(); });
    ApplySelection(decided);
    if (!host_.SelectedRows().empty()) host_.RecordUndo(U("条件選択決定後"));
    host_.SetStatusText(1, QString::number(count) + U("個のファイルを選択しました。"));
    close();
  } catch (const ETonboError& e) {
    ApplySelection(decided);
    ShowError(QString::fromUtf8(e.what()));
  }
}

void TfrmFilter::ApplySelection(const std::vector<bool>& decided) {
  if (decided.empty()) return;
  const size_t rows = static_cast<size_t>(host_.Table().RowCount());
  std::vector<int> chosen;
  for (size_t r = 0; r < rows && r < decided.size(); ++r)
    if (decided[r]) chosen.push_back(static_cast<int>(r));
  if (decided.size() < rows) {
    for (const int r : host_.SelectedRows())
      if (static_cast<size_t>(r) >= decided.size()) chosen.push_back(r);
  }
  host_.SelectRows(chosen);
}

void TfrmFilter::btnHelpClick() {
  // With no program for text files on the desktop, the notes show here.
  const std::string notes = ProgramDirDisk() + "doc/find.txt";
  if (!platform::OpenDiskPath(notes)) ShowFileHere(notes, this);
}

void TfrmFilter::chkWildcardClick(bool checked) {
  if (checked) chkRegExp_->setChecked(false);
}

void TfrmFilter::chkRegExpClick(bool checked) {
  if (checked) chkWildcard_->setChecked(false);
}

}  // namespace tonbo
