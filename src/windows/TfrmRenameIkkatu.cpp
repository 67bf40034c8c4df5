#include "windows/TfrmRenameIkkatu.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>
#include <utility>

#include "commands/NameGrid.h"
#include "commands/Recipe.h"
#include "common/Dialogs.h"
#include "common/Errors.h"
#include "common/Sjis.h"
#include "core/CsvDb.h"
#include "windows/NameFont.h"

namespace tonbo {
namespace {

const char* const kHeadings[] = {"新ファイル名", "旧ファイル名", "パス"};
constexpr int kWidths[] = {202, 152, 229};
constexpr int kColumns = 3;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The cell follows its editor as the user types, as in a spreadsheet, and
// every keystroke is reported.
class NameCellDelegate : public QStyledItemDelegate {
 public:
  using Edited = std::function<void(int row, int column, const QString& text)>;
  NameCellDelegate(QObject* parent, Edited edited)
      : QStyledItemDelegate(parent), edited_(std::move(edited)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      const QPersistentModelIndex at(index);
      auto* self = const_cast<NameCellDelegate*>(this);
      connect(line, &QLineEdit::textEdited, self, [self, line, at](const QString& text) {
        emit self->commitData(line);
        if (at.isValid()) self->edited_(at.row(), at.column(), text);
      });
    }
    return editor;
  }

  // Leaves an editor that already shows the cell's text alone, so the caret
  // stays where the user is typing.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && line->text() == index.data(Qt::EditRole).toString()) return;
    QStyledItemDelegate::setEditorData(editor, index);
  }

 private:
  Edited edited_;
};

QTableWidgetItem* Cell(const std::string& sjis, bool editable) {
  auto* item = new QTableWidgetItem(enc::FromSjis(sjis));
  item->setFlags(editable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                          : Qt::ItemIsEnabled);
  return item;
}

}  // namespace

TfrmRenameIkkatu::TfrmRenameIkkatu(ListHost& host, QWidget* parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("frmRenameIkkatu"));
  setWindowTitle(U("一括変換フォーム"));
  resize(620, 420);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  CreateMenus();
  CreateGrid();
  layout->addWidget(grdList_);
}

void TfrmRenameIkkatu::CreateMenus() {
  auto* bar = new QMenuBar(this);
  auto add = [this](QMenu* menu, const char* name, const char* caption, auto slot,
                    const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(U(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
  };
  QMenu* file = bar->addMenu(U("ファイル(&F)"));
  add(file, "mnuSave", "リストに名前を付けて保存", &TfrmRenameIkkatu::mnuSaveClick);
  add(file, "mnuClose", "閉じる(&C)", &TfrmRenameIkkatu::mnuCloseClick);
  QMenu* edit = bar->addMenu(U("編集(&E)"));
  add(edit, "mnuReset", "リセット(&R)", &TfrmRenameIkkatu::mnuResetClick);
  add(edit, "mnuPaste", "カーソル位置へ一覧から貼付け", &TfrmRenameIkkatu::mnuPasteClick,
      QKeySequence(Qt::CTRL | Qt::Key_G));
  layout()->setMenuBar(bar);
}

void TfrmRenameIkkatu::CreateGrid() {
  grdList_ = new QTableWidget(0, kColumns, this);
  grdList_->setObjectName(QStringLiteral("grdList"));
  UseNameFont(grdList_);
  grdList_->verticalHeader()->hide();
  // The heading row is fixed: its cells resize columns but select nothing.
  grdList_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grdList_->horizontalHeader()->setSectionsClickable(false);
  for (int c = 0; c < kColumns; ++c) grdList_->setColumnWidth(c, kWidths[c]);
  grdList_->setSelectionMode(QAbstractItemView::SingleSelection);
  grdList_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  grdList_->setItemDelegate(new NameCellDelegate(
      grdList_,
      [this](int row, int column, const QString& text) { grdListSetEditText(row, column, text); }));
  connect(grdList_, &QTableWidget::currentCellChanged, this,
          [this](int row, int column) { grdListSelectCell(row, column); });
}

void TfrmRenameIkkatu::Execute() {
  mnuResetClick();
  Dialogs().RunModal(*this);
}

void TfrmRenameIkkatu::mnuResetClick() {
  const std::vector<NameGridRow> rows = NameGridRows(host_.Table());
  modified_ = false;
  QStringList headings;
  for (const char* heading : kHeadings) headings << U(heading);
  grdList_->setHorizontalHeaderLabels(headings);
  grdList_->setCurrentItem(nullptr);
  grdList_->setRowCount(0);
  grdList_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    grdList_->setItem(r, 0, Cell(rows[r].newName, true));
    grdList_->setItem(r, 1, Cell(rows[r].oldName, false));
    grdList_->setItem(r, 2, Cell(rows[r].folder, false));
  }
  if (!rows.empty()) grdList_->setCurrentCell(0, 0);
}

void TfrmRenameIkkatu::grdListSelectCell(int row, int column) {
  if (row < 0) return;
  if (column != 0) {
    // Only new names take the cursor: the row pointed at keeps it, so what
    // is typed next goes to that row's name, not to the row left.
    grdList_->setCurrentCell(row, 0);
    return;
  }
  textBeforeEdit_ = grdList_->item(row, 0)->text();
}

void TfrmRenameIkkatu::grdListSetEditText(int row, int column, const QString& text) {
  if (text != textBeforeEdit_) modified_ = true;
}

void TfrmRenameIkkatu::mnuPasteClick() {
  const int cursor = grdList_->currentRow();
  if (cursor < 0) return;
  const std::vector<std::string> names =
      PastedNames(enc::ToSjis(QApplication::clipboard()->text()));
  for (int i = 0; i < static_cast<int>(names.size()); ++i) {
    if (cursor + i >= grdList_->rowCount()) break;
    grdList_->item(cursor + i, 0)->setText(enc::FromSjis(names[i]));
  }
  modified_ = true;
}

// The heading row and every cell of the grid, as they are saved.
std::vector<std::vector<std::string>> TfrmRenameIkkatu::GridCells() const {
  std::vector<std::vector<std::string>> cells;
  cells.reserve(static_cast<size_t>(grdList_->rowCount()) + 1);
  cells.emplace_back();
  for (const char* heading : kHeadings) cells.back().push_back(enc::Lit(heading));
  for (int r = 0; r < grdList_->rowCount(); ++r) {
    cells.emplace_back();
    for (int c = 0; c < kColumns; ++c)
      cells.back().push_back(enc::ToSjis(grdList_->item(r, c)->text()));
  }
  return cells;
}

void TfrmRenameIkkatu::mnuSaveClick() {
  FileDialogRequest request;
  request.filters = QStringList{U("CSVファイル (*.csv)"), U("All (*)")};
  request.defaultSuffix = QStringLiteral("csv");
  const QString name = Dialogs().GetSaveFileName(request);
  if (name.isEmpty()) return;
  TCsvDb grid;
  grid.LoadFromGrid(GridCells());
  try {
    grid.SaveToFile(QFile::encodeName(name).toStdString());
  } catch (const ETonboError& e) {
    ShowError(QString::fromUtf8(e.what()));
    return;
  }
  ShowMessage(U("保存しました。"));
}

void TfrmRenameIkkatu::mnuCloseClick() { close(); }

void TfrmRenameIkkatu::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TfrmRenameIkkatu::FormClose() {
  if (!modified_) return;
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(grdList_->rowCount()));
  for (int r = 0; r < grdList_->rowCount(); ++r)
    names.push_back(enc::ToSjis(grdList_->item(r, 0)->text()));
  // The grid's step is what it did to each name: it runs only on these names.
  std::vector<std::string> before;
  for (int r = 0; r < host_.Table().RowCount(); ++r)
    before.push_back(
        std::string(host_.Table().GetCell(colNewName, r)).append(host_.Table().GetCell(colExt, r)));
  WriteBackNames(host_.Table(), names);
  if (RecipeWords step = NamesLine(before, host_.Table()); !step.empty()) host_.NoteSteps({step});
  host_.RefreshList();
  host_.RecordUndo(U("ファイル名の一括変更"));
}

}  // namespace tonbo
