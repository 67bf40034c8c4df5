#include "app/TfrmMain.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <chrono>
#include <string_view>
#include <unordered_map>

#include "app/FileListView.h"
#include "app/PathText.h"
#include "app/TfrmSelect.h"
#include "common/Dialogs.h"
#include "common/Paths.h"
#include "common/Sjis.h"
#include "core/ClashWorker.h"
#include "core/ListText.h"
#include "platform/EffectSound.h"
#include "windows/NameFont.h"
#include "windows/PreviewHost.h"
#include "windows/TfrmFormat.h"
#include "windows/TfrmRunHistory.h"

namespace tonbo {
namespace {

constexpr int kPanel0Width = 70;
// Room a cell of the list takes beside its text (margins and the grid line).
constexpr int kCellPadding = 12;

// A fingerprint of the table's rows in order, to tell whether a rebuild
// shows the same rows as the last one.
size_t RowsIdentity(const TCsvDb& table) {
  size_t h = std::hash<int>()(table.RowCount());
  for (int i = 0; i < table.RowCount(); ++i)
    h = h * 1099511628211ULL ^ std::hash<std::string_view>()(table.GetCell(colPath, i));
  return h;
}

// Extensions whose icons differ from file to file.
bool OwnIconPerFile(const std::string& lowerExt) {
  return lowerExt == ".exe" || lowerExt == ".lnk" || lowerExt == ".ico";
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent, std::unique_ptr<FileTypeSource> types,
                   const std::string& settingsPath)
    : QMainWindow(parent),
      ini_(std::make_unique<TIniFileEx>(settingsPath)),
      types_(std::move(types)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(AppTitle());
  resize(511, 282);
  CreateList();
  CreateStatusBar();
  CreateActions();
  CreateMenus();
  CreatePopupMenu();
  CreateToolBar();
  RegisterCommands();
  CreateKeepCommands();
  RegisterSwitches();
  CreateStartUpTimer();
  SetSoundPlayer([](const std::string& path) { platform::PlaySoundFileAndWait(path); });
  RecordUndo(QStringLiteral("初期状態"));
  LoadSettings();
  CreateShellCommands();  // with the send-to menus
  // The dialogs in their start-up order: rule settings, preview, select by condition,
  // version, explanation, same-name question, replace, name grid.
  CreateFormatDialog();
  RegisterNamingCommands();
  RegisterRecipeCommands();
  CreatePreviewDialog();
  CreateFilterDialog();
  CreateGuardDialogs();
  frmSelect_ = new TfrmSelect(this);
  LoadPlacement(*frmSelect_, "frmSelect");
  connect(frmSelect_, &TfrmSelect::helpRequested, this,
          [this] { ConfirmAction(QStringLiteral("dlg_overwrite")); });
  CreateReplaceDialogs();
  CreateRunHistory();
}

TfrmMain::~TfrmMain() {
  frmFormat_->SaveSettings(*ini_);
  SavePlacement(*frmSelect_, "frmSelect");
  SavePlacement(*frmRunHistory_, "frmRunHistory");
  SaveSettings();
}

void TfrmMain::CreateList() {
  model_ = new FileListModel(table_, imgListFile_, takenTimes_, this);
  listFile_ = new FileListView(this);
  listFile_->setObjectName(QStringLiteral("listFile"));
  UseNameFont(listFile_);
  listFile_->setModel(model_);
  listFile_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listFile_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  listFile_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listFile_->setShowGrid(true);
  listFile_->setWordWrap(false);
  listFile_->setIconSize(QSize(16, 16));
  listFile_->setContextMenuPolicy(Qt::CustomContextMenu);
  listFile_->verticalHeader()->hide();
  listFile_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  listFile_->verticalHeader()->setDefaultSectionSize(listFile_->fontMetrics().height() + 4);
  QHeaderView* header = listFile_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setSectionsMovable(true);  // the order is kept in the settings file
  for (int c = 0; c < FileListModel::ColumnCount; ++c)
    header->resizeSection(c, FileListModel::ColumnWidth(c));
  // The date is shown whole in whatever font the desktop gives.
  header->resizeSection(
      FileListModel::ColModified,
      std::max(FileListModel::ColumnWidth(FileListModel::ColModified),
               listFile_->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00 00:00:00")) +
                   kCellPadding));
  header->resizeSection(FileListModel::ColTaken, header->sectionSize(FileListModel::ColModified));
  listFile_->setColumnHidden(FileListModel::ColTaken, true);
  timerTaken_ = new QTimer(this);
  timerTaken_->setObjectName(QStringLiteral("timerTaken"));
  timerTaken_->setSingleShot(true);  // after the command
  timerTaken_->setInterval(0);
  connect(timerTaken_, &QTimer::timeout, this, &TfrmMain::PostTakenRead);
  // A long path loses its middle folders, not the file name at its end.
  listFile_->setItemDelegateForColumn(FileListModel::ColPath, new MiddleElideDelegate(listFile_));
  connect(header, &QHeaderView::sectionClicked, this, &TfrmMain::listFileColumnClick);
  connect(listFile_, &QTableView::clicked, this, &TfrmMain::listFileClick);
  connect(listFile_, &QTableView::doubleClicked, this,
          [this] { commands_.Run(Command::actRenameOne); });
  // Files dropped from a file manager land on the list.
  listFile_->setAcceptDrops(true);
  listFile_->viewport()->setAcceptDrops(true);
  listFile_->setDragDropMode(QAbstractItemView::DropOnly);
  listFile_->viewport()->installEventFilter(this);
  connect(listFile_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    popupMenu1_->popup(listFile_->viewport()->mapToGlobal(pos));
  });
  // Shift+F10, the desktop's key for a popup menu, opens it at the current row.
  auto* popupKey = new QShortcut(QKeySequence(QStringLiteral("Shift+F10")), listFile_);
  popupKey->setContext(Qt::WidgetWithChildrenShortcut);
  connect(popupKey, &QShortcut::activated, this, [this] {
    const QRect row = listFile_->visualRect(listFile_->currentIndex());
    Q_EMIT listFile_->customContextMenuRequested(row.isValid() ? row.center() : QPoint(0, 0));
  });
  setCentralWidget(listFile_);
}

void TfrmMain::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("bar"));
  bar->setSizeGripEnabled(true);
  for (size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(bar);
    panels_[i]->setObjectName(QStringLiteral("panel%1").arg(i));
  }
  // Wide enough for "総数 = " and seven digits in the desktop's font.
  panels_[0]->setFixedWidth(std::max(
      kPanel0Width, panels_[0]->fontMetrics().horizontalAdvance(QStringLiteral("総数 = 8888888")) +
                        2 * panels_[0]->margin() + 8));
  panels_[0]->setText(QStringLiteral("ファイルなし"));
  panels_[1]->setMinimumWidth(1);
  panels_[1]->resize(300, panels_[1]->height());
  bar->addWidget(panels_[0]);
  bar->addWidget(panels_[1], 1);
  panelClash_ = new QLabel(bar);
  panelClash_->setObjectName(QStringLiteral("panelClash"));
  bar->addPermanentWidget(panelClash_);
}

QString TfrmMain::StatusText(int panel) const {
  return panel >= 0 && panel < 2 ? panels_[static_cast<size_t>(panel)]->text() : QString();
}

void TfrmMain::SetStatusText(int panel, const QString& text) {
  if (panel >= 0 && panel < 2) panels_[static_cast<size_t>(panel)]->setText(text);
}

void TfrmMain::barResize() {
  // The layout stretches panel 1 over the rest of the bar; never past it.
  panels_[1]->setMaximumWidth(
      std::max(1, statusBar()->width() - panels_[0]->width() - panelClash_->sizeHint().width()));
}

void TfrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  shown_ = true;  // explanations never come before the window has appeared
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  barResize();
}

int TfrmMain::FetchImage(int row, const std::string& diskPath) {
  FileTypeInfo info = types_->Fetch(diskPath);
  int image = imgListFile_.Add(info.icon);
  table_.SetCell(colIconIndex, row, std::to_string(image));
  if (info.typeName) table_.SetCell(colTypeName, row, enc::ToSjis(*info.typeName));
  return image;
}

void TfrmMain::RefreshRow(int row, const std::string& lowerExt, int sameExtRow,
                          std::vector<int>& images) {
  int known = static_cast<int>(CellToInt64(table_.GetCell(colIconIndex, row), -1));
  if (known >= 0 && known < imgListFile_.Count()) {
    images[static_cast<size_t>(row)] = known;
  } else if (sameExtRow >= 0 && sameExtRow < row && !OwnIconPerFile(lowerExt)) {
    images[static_cast<size_t>(row)] = images[static_cast<size_t>(sameExtRow)];
    table_.SetCell(colTypeName, row, table_.GetCell(colTypeName, sameExtRow));
  } else {
    images[static_cast<size_t>(row)] =
        FetchImage(row, enc::SjisToDisk(table_.GetCell(colPath, row)));
  }
}

void TfrmMain::RefreshList() {
  const TRowSelection selected = ListSelection();
  const size_t rows = RowsIdentity(table_);
  const bool keepSelection = rows == listedRows_;
  listedRows_ = rows;
  const int count = table_.RowCount();
  // The first row holding each extension text, so no row searches the table.
  std::unordered_map<std::string, int> firstRowOfExt;
  firstRowOfExt.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    firstRowOfExt.try_emplace(std::string(table_.GetCell(colExt, i)), i);

  std::vector<int> images(static_cast<size_t>(count), -1);
  model_->BeginRebuild();
  for (int i = 0; i < count; ++i) {
    try {
      std::string lowerExt = LowerAscii(table_.GetCell(colExt, i));
      auto same = firstRowOfExt.find(lowerExt);
      RefreshRow(i, lowerExt, same == firstRowOfExt.end() ? -1 : same->second, images);
    } catch (const std::exception&) {
      ShowWarning(QString::number(i) + ":" + enc::FromSjis(table_.GetCell(colPath, i)) +
                      QStringLiteral("の表示に失敗"),
                  AppTitle());
    }
  }
  model_->EndRebuild(std::move(images));
  if (!listFile_->isColumnHidden(FileListModel::ColTaken)) timerTaken_->start();
  if (keepSelection && !selected.Empty()) SelectRuns(selected);
  SetStatusText(0, QStringLiteral("総数 = ") + QString::number(count));
  MarkClashes();
}

void TfrmMain::listFileColumnClick(int column) {
  if (column < 0 || column >= FileListModel::ColumnCount) return;
  if (column == FileListModel::ColTaken) {
    if (!ReadAllTakenTimes()) return;  // stopped: the order stays
    table_.SortByKeys(takenTimes_.SortKeys(table_));
  } else if (column == FileListModel::ColSize)
    table_.SortNumeric(colSize);
  else if (ExcelSort())
    table_.SortNoCase(column);
  else
    table_.SortText(column);
  if (sortDescending_[static_cast<size_t>(column)]) table_.Reverse();
  sortDescending_[static_cast<size_t>(column)] = !sortDescending_[static_cast<size_t>(column)];
  listFile_->clearSelection();  // even when the order did not change
  RefreshList();
}

void TfrmMain::listFileClick() {
  const QModelIndexList rows = listFile_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  int first = rows.first().row();
  for (const QModelIndex& index : rows) first = std::min(first, index.row());
  const QString path = enc::FromSjis(table_.GetCell(colPath, first));
  SetStatusText(1, CompactPath(path, panels_[1]->fontMetrics(), panels_[1]->width()));
}

}  // namespace tonbo
