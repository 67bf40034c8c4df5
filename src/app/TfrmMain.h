#pragma once
// The main window: the file list, its menus, tool bar and status bar.
#include <QMainWindow>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

#include "app/CommandTable.h"
#include "app/FileListModel.h"
#include "app/FileTypes.h"
#include "app/TfrmProgress.h"
#include "commands/FormatCommands.h"
#include "commands/TagNaming.h"
#include "core/CsvDb.h"
#include "core/EffectSoundGate.h"
#include "core/IniFile.h"
#include "core/ListHost.h"
#include "core/TakenWorker.h"
#include "core/UndoList.h"
#include "text/RenameRules.h"

class QLabel;
class QMenu;
class QTableView;
class QTimer;
class QToolBar;

namespace tonbo {

class ClashWorker;
struct ClashCheck;
class TfrmFilter;
class TfrmFormat;
class TfrmRenameIkkatu;
class TfrmReplace;
class TfrmRunHistory;
class TfrmTagName;
class TfrmHelp;
class TfrmInputName;
class PreviewHost;
class TfrmSelect;
class TfrmVer;
struct MenuRow;
struct RecoveryResult;

class TfrmMain : public QMainWindow, public ListHost {
  Q_OBJECT
 public:
  // settingsPath: the settings file (disk path); empty keeps settings in memory.
  explicit TfrmMain(QWidget* parent = nullptr,
                    std::unique_ptr<FileTypeSource> types = std::make_unique<MimeFileTypeSource>(),
                    const std::string& settingsPath = std::string());
  ~TfrmMain() override;

  TCsvDb& Table() override { return table_; }
  QTableView* List() const { return listFile_; }
  CommandTable& Commands() { return commands_; }
  QString StatusText(int panel) const;
  void SetStatusText(int panel, const QString& text) override;

  // Rebuilds the list from the file table. The selection stays when the
  // table still holds the same rows in the same order (a naming command or a
  // dialog changed only names); otherwise the list starts without one.
  void RefreshList() override;
  // Sorts the table by a list column and rebuilds the list.
  void listFileColumnClick(int column);
  // Shows the first selected item's path in panel 1.
  void listFileClick();
  void barResize();

  bool ExcelSort() const;
  void SetExcelSort(bool on);
  // A check item of "設定(&S)" or "機能(&F)".
  bool Switch(MenuSwitch menuSwitch) const;
  void SetSwitch(MenuSwitch menuSwitch, bool on);

  // History.
  void RecordUndo(const QString& label) override;
  void mnuUndoClick();
  void mnuRedoClick();
  void UpdateUndoMenu();
  // The list's selection as the history keeps it, and back.
  TRowSelection SaveSelection() const;
  void RestoreSelection(const TRowSelection& selection);
  TUndoList& History() { return undo_; }
  // Steps of commands without a history entry of their own wait for the next one.
  void NoteSteps(TStepLines steps) override {
    pendingSteps_.insert(pendingSteps_.end(), steps.begin(), steps.end());
  }
  void NoteTypedName(int row, const std::string& sjisBefore);
  // The file table with the Selected column filled from the current history
  // entry, as a saved list holds it.
  TCsvDb TableAsRecorded() const;

  // Start-up: the command line's files and the keys held (Shift adds the
  // first file's folder, Ctrl opens the preview after 500 ms).
  void StartUp(const std::vector<std::string>& diskPaths, Qt::KeyboardModifiers keys);
  void timerPreviewTimer();

  // Adding files (code page 932 paths / outside paths). With a progress
  // sink the add can be stopped: the rows added so far stay, the status
  // text starts with "中止しました。" and the history entry is still recorded.
  int AddFiles(const std::vector<std::string>& sjisPaths, ProgressSink* progress = nullptr);
  // The add commands' way in: shows the progress window when it lasts.
  int AddDiskPaths(const std::vector<std::string>& diskPaths);
  void FileDrop1FileDrop(const std::vector<std::string>& diskPaths);
  void actOpenExecute();
  void AddSameFolder(bool withSubfolders);
  // Keeping the list: "リストを保存" and "リストを読込".
  void mnuSaveListClick();
  void mnuLoadListClick();
  // Recipes: "手順を保存…", "手順を実行…" and the recently used recipes.
  void mnuRecipeSaveClick();
  void mnuRecipeRunClick();
  void RunRecipeFile(const std::string& diskPath);
  int FirstStepEntry() const;
  TStepLines StepsOf(int entry) const;
  TStepLines ChooseSteps();
  void RememberRecipe(const std::string& diskPath);
  void UpdateRecipeMenu();
  void RegisterRecipeCommands();
  int FirstSelectedRow() const;

  // Selection and list editing.
  std::vector<int> SelectedRows() const override;
  void SelectRows(const std::vector<int>& rows) override;
  // The selected items (those within the table), without a number per row.
  TRowSelection ListSelection() const;
  void SelectRuns(const TRowSelection& selection);
  // Calls routine for every selected row (the only row when the list holds
  // one and nothing is selected), rebuilds the list and reports the count
  // with the label. Returns the count, or -1 when nothing was selected.
  int ForEachSelected(const QString& label, const std::function<void(TfrmMain&, int)>& routine);
  // The same with one routine over all the rows at once.
  int ForEachSelectedRows(const QString& label,
                          const std::function<void(const std::vector<int>&)>& routine);
  void actSelectAllExecute();
  void actSelectNoneExecute();
  void actSelectReverseExecute();
  // Clashes: the rows a run would not carry out as they stand. Marked after
  // every rebuild of the list, at once from the names, then from the disk
  // off the window's thread; "衝突する行を選択" selects the marked rows.
  void MarkClashes();
  void mnuSelectClashesClick();
  int ClashCount() const { return model_->ClashCount(); }
  // The clashes as the question before a run starts with them; empty for none.
  QString ClashSummary();
  void actExtractExecute();
  void mnuDeleteFileClick();
  void actNameResetExecute();
  void actClearExecute();

  // Applying the names.
  bool HasPendingChanges() const;
  void actRenameRealExecute();
  void ExecuteRenames();
  // "実行した名前変更を元に戻す": the last run that ended, back on disk.
  void mnuUndoRenameClick();
  // At start-up: a run that did not end is finished, rolled back or left.
  void OfferRecovery();
  TfrmSelect& frmSelect() { return *frmSelect_; }

  // Keeping the work: the batch file, the shell script, the backup copy.
  void mnuMakeBatchClick();
  void mnuMakeScriptClick();
  void actBackupExecute();

  // Naming commands.
  TfrmFormat& frmFormat() { return *frmFormat_; }
  std::mt19937& Random() { return random_; }
  void actOptionRenameExecute();
  void mnuRenbanClick();
  void mnuRenameDateClick();
  void mnuRenameRandomClick();
  void mnuRenameFromTagsClick();
  void mnuRenbanAndStrClick();
  void mnuRenbanAndStr2Click();
  void mnuRenbanAndOldNameClick();
  void mnuRenbanAndStr3Click();
  void mnuRenameSimpleClick();
  void AddTextCommand(bool atHead);
  // "整形": the conversion over the selection, the extension too where it may change.
  void FormatCommand(Formatting formatting);
  // "文字化けを直す" and "濁点を結合する": guarded, counted, recorded in the history.
  void RepairCommand(const QString& key, const QString& label, const char* option,
                     int (*repair)(TCsvDb&, const std::vector<int>&, bool),
                     std::string (*status)(int));

  // The guard and sounds.
  bool ConfirmAction(const QString& key);
  bool ShowExplanation(const QString& key, bool showOmit) override;
  bool ExtNotChange() const override { return Switch(MenuSwitch::mnuExtNotChange); }
  void ProcessEvents() override;
  void PlayEffectSound(int kind);
  void SetShown(bool shown) { shown_ = shown; }
  void mnuHelpClick();
  void mnuVersionClick();
  TfrmHelp& frmHelp() { return *frmHelp_; }
  // The preview renamer.
  TfrmInputName& frmInputName() { return *frmInputName_; }
  // One row of the table changed: its list item shows it again.
  void RefreshItem(int row);
  // Where effect sounds go (the real player unless replaced).
  void SetSoundPlayer(EffectSoundGate::Player player, EffectSoundGate::Clock clock = TickCount);
  // The clock of the progress windows the commands open (the real one unless replaced).
  void SetProgressClock(TfrmProgress::Clock clock) { progressClock_ = std::move(clock); }
  // How the naming reads the files' tags (tests hand in values).
  void SetTagSource(TagSource source) { tagSource_ = std::move(source); }
  // How the list's column reads a file's date taken (tests hand in a slow one).
  void SetTakenReader(TakenWorker::Read read) { takenRead_ = std::move(read); }

  // Settings.
  TIniFileEx& Ini() { return *ini_; }
  void LoadSettings();
  void SaveSettings();
  // The list's column widths and order ([listFile] of the settings file).
  void LoadColumns();
  void SaveColumns();
  // Warns, once per run, that the settings file could not be read and is
  // therefore left as it is.
  void WarnUnreadableSettings();
  void LoadPlacement(QWidget& window, const char* section);
  void SavePlacement(QWidget& window, const char* section);

  // Handing files to the desktop, install commands, send-to menus.
  std::string RowDiskPath(int row) const;
  // Runs a per-file desktop operation over the selection; failures follow
  // the count in the status bar. Returns the count, or -1.
  int RunExternalTool(const QString& title, QString (*operation)(const std::string&));
  void CopyNames(bool withPath);
  void actMakeShortcutExecute();
  void SendToClick(const std::string& entryPath);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

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
  // "撮影日時" shown or hidden as mnuColTaken says; while shown the dates
  // are read by takenWorker_, asked after each change of the list by
  // timerTaken_ (after the command, as for the clash check).
  void ApplyTakenColumn();
  void PostTakenRead();
  void TakenAnswered(std::uint64_t generation, const std::vector<TTakenTimes::Dated>& dates);
  // Every row's date for the sort, waited for under a progress window; false
  // when the user stopped it.
  bool ReadAllTakenTimes();
  // Writes a run's log (log.txt, err.txt) to the log folder and opens it.
  void OpenLog(const std::string& log, const char* fileName = "log.txt");
  void CreateKeepCommands();
  void ShowRecovery(const RecoveryResult& result, const QString& movedText);
  // An undo or a recovery under a progress window that offers no stop: the
  // run would be left neither done nor undone (RunRecovery.h).
  RecoveryResult WithRecoveryProgress(const QString& caption,
                                      const std::function<RecoveryResult(ProgressSink*)>& work);
  // The files of an undo or recovery where they are now make the list, as after a run.
  void ListRecovered(const RecoveryResult& result);
  void CreateRunHistory();
  void CreateGuardDialogs();
  void CreateStartUpTimer();
  void CreateFormatDialog();
  void RegisterNamingCommands();
  void CreateFilterDialog();
  void CreateReplaceDialogs();
  void CreateShellCommands();
  void BuildSendToMenu();
  void CreatePreviewDialog();
  void RunSerialWith(const std::function<void(RenameRules&)>& change);
  QAction* NewAction(const char* name, const char* caption, Command command, const char* shortcut);
  QAction* NewSwitch(MenuSwitch menuSwitch, const char* caption);
  QAction* MenuItem(const MenuRow& row);
  QAction* Act(const QString& name) const;
  // The action of CreateActions or of the menu item that carries the command's name.
  QAction* CommandAction(Command command) const;
  // Runs the handler after the user flipped the switch's check mark.
  void OnSwitched(MenuSwitch menuSwitch, std::function<void()> handler);
  int FetchImage(int row, const std::string& diskPath);
  void RefreshRow(int row, const std::string& lowerExt, int sameExtRow, std::vector<int>& images);
  void PostClashCheck();
  void ShowClashes(const ClashCheck& check);

  TCsvDb table_;
  TUndoList undo_;
  TStepLines pendingSteps_;  // goes with the next history entry
  std::unique_ptr<TIniFileEx> ini_;
  ImageList imgListFile_;
  std::unique_ptr<FileTypeSource> types_;
  CommandTable commands_;
  std::array<QAction*, kSwitchCount> switches_{};
  FileListModel* model_ = nullptr;
  QTableView* listFile_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QMenu* popupMenu1_ = nullptr;
  std::array<QLabel*, 2> panels_{};
  std::array<bool, FileListModel::ColumnCount> sortDescending_{};
  std::unique_ptr<EffectSoundGate> soundGate_;
  TfrmSelect* frmSelect_ = nullptr;
  TfrmHelp* frmHelp_ = nullptr;
  TfrmVer* frmVer_ = nullptr;
  TfrmFormat* frmFormat_ = nullptr;
  TfrmFilter* frmFilter_ = nullptr;
  TfrmReplace* frmReplace_ = nullptr;
  TfrmTagName* frmTagName_ = nullptr;
  TagSource tagSource_ = FileTagSource();
  TfrmRenameIkkatu* frmRenameIkkatu_ = nullptr;
  TfrmRunHistory* frmRunHistory_ = nullptr;
  std::unique_ptr<PreviewHost> previewHost_;
  TfrmInputName* frmInputName_ = nullptr;
  std::mt19937 random_;
  QTimer* timerPreview_ = nullptr;
  TTakenTimes takenTimes_;
  QTimer* timerTaken_ = nullptr;
  TfrmProgress::Clock progressClock_;
  int growthLimit_ = 300;
  bool shown_ = false;
  size_t listedRows_ = 0;  // identity of the rows the list shows: count and paths
  QLabel* panelClash_ = nullptr;
  bool clashPostPending_ = false;
  std::uint64_t clashGeneration_ = 0;  // the table the marks were asked for
  bool clashesFromDisk_ = false;       // the marks of that table include the disk's
  std::uint64_t takenGeneration_ = 0;  // the list the dates being read are for
  size_t takenPending_ = 0;            // of them, not answered yet
  TakenWorker::Read takenRead_;
  // Last: gone before anything their answers reach.
  std::unique_ptr<TakenWorker> takenWorker_;
  std::unique_ptr<ClashWorker> clashWorker_;
};

}  // namespace tonbo
