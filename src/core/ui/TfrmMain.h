#pragma once
// The main window: the file list, its menus, tool bar and status bar.
#include <QMainWindow>

#include <array>
#include <memory>

#include "core/CsvDb.h"
#include "core/IniFile.h"
#include "core/UndoList.h"
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
  // settingsPath: the settings file (disk path); empty keeps settings in memory.
  explicit TfrmMain(QWidget* parent = nullptr,
                    std::unique_ptr<FileTypeSource> types = std::make_unique<MimeFileTypeSource>(),
                    const std::string& settingsPath = std::string());
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
  // A menu switch of "設定(&S)" by its name (mnuSound, mnuDescript, ...).
  bool Switch(const char* name) const;
  void SetSwitch(const char* name, bool on);

  // History.
  void RecordUndo(const QString& label);
  void mnuUndoClick();
  void mnuRedoClick();
  void UpdateUndoMenu();
  void SaveSelection();
  void RestoreSelection();
  TUndoList& History() { return undo_; }

  // Settings.
  TIniFileEx& Ini() { return *ini_; }
  void LoadSettings();
  void SaveSettings();
  void LoadPlacement(QWidget& window, const char* section);
  void SavePlacement(QWidget& window, const char* section);

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
  void RegisterSwitches();
  void ApplyPicture();
  QAction* NewAction(const QString& name, const QString& caption, const QString& command,
                     const QKeySequence& shortcut = {});
  QAction* Act(const QString& name) const;
  void AddCommandItems(QMenu* menu, const QStringList& names);
  int FetchImage(int row, const std::string& diskPath);
  void RefreshRow(int row, const std::string& lowerExt, int sameExtRow, std::vector<int>& images);

  TCsvDb table_;
  TUndoList undo_;
  std::unique_ptr<TIniFileEx> ini_;
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
