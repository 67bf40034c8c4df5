#pragma once
// The main window: the file list, its menus, tool bar and status bar.
#include <QMainWindow>

#include <array>
#include <memory>

#include "core/CsvDb.h"
#include "core/ui/CommandTable.h"
#include "core/ui/FileListModel.h"
#include "core/ui/FileTypes.h"

class QLabel;
class QMenu;
class QTableView;
class QToolBar;

namespace tonbo {

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr,
                    std::unique_ptr<FileTypeSource> types = std::make_unique<MimeFileTypeSource>());
  ~TfrmMain() override;

  TCsvDb& Table() { return table_; }
  QTableView* List() const { return listFile_; }
  CommandTable& Commands() { return commands_; }
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text);

  // Rebuilds the list from the file table.
  void RefreshList();
  // Sorts the table by a list column and rebuilds the list.
  void listFileColumnClick(int column);
  // Shows the first selected item's path in panel 1.
  void listFileClick();
  void barResize();

  bool ExcelSort() const;
  void SetExcelSort(bool on);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateList();
  void CreateStatusBar();
  void CreateActions();
  void CreateMenus();
  void CreatePopupMenu();
  void CreateToolBar();
  void RegisterCommands();
  QAction* NewAction(const QString& name, const QString& caption, const QString& command,
                     const QKeySequence& shortcut = {});
  QAction* Act(const QString& name) const;
  void AddCommandItems(QMenu* menu, const QStringList& names);
  int FetchImage(int row, const std::string& diskPath);
  void RefreshRow(int row, const std::string& lowerExt, int sameExtRow, std::vector<int>& images);

  TCsvDb table_;
  ImageList imgListFile_;
  std::unique_ptr<FileTypeSource> types_;
  CommandTable commands_;
  FileListModel* model_ = nullptr;
  QTableView* listFile_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  std::array<QLabel*, 2> panels_{};
  std::array<bool, FileListModel::ColumnCount> sortDescending_{};
};

}  // namespace tonbo
