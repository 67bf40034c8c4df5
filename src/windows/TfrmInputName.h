#pragma once
// The preview dialog: renames the files of the list one at a time while
// showing each one (text, picture, web page, media or hexadecimal view). It
// only edits the file table; renaming on disk stays the main window's apply
// command. Created once, shown modeless, hidden between uses.
#include <QMainWindow>

#include <memory>
#include <string>

#include "preview/MediaDevice.h"
#include "preview/PictureAhead.h"
#include "preview/PicturePreview.h"
#include "preview/PreviewRules.h"
#include "preview/PreviewText.h"
#include "windows/PreviewHost.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QScrollBar;
class QTabWidget;
class QTextBrowser;
class QTimer;
class QToolButton;

namespace tonbo {

class TMxBinEditor;

class TfrmInputName : public QMainWindow {
  Q_OBJECT
 public:
  enum Page { pageText, pageImage, pageHtml, pageMedia, pageBinary };
  enum MediaButton { btPlay = 1, btStop = 2, btBack = 4 };

  explicit TfrmInputName(PreviewHost& host, QWidget* parent = nullptr);
  ~TfrmInputName() override;

  // Main window side: opens or reloads the dialog on the selected row.
  void actRenameOneExecute();
  void ShowFile(const std::string& sjisPath, const std::string& sjisDescription, int index);

  // Moving and naming.
  void btnNextClick();
  void btnPrevClick();
  void btnDeleteClick();
  void CommitAndMove();
  void Close1Click();

  // File commands.
  void mnuSaveAsClick();
  void mnuSaveTextClick();
  void mnuOpenAsTextClick();
  void mnuExecuteClick();
  void mnuCopyClick();
  void mnuHelpAppClick();
  void mnuHelpPreviewClick();

  // Pictures.
  void LoadImage();
  void FitImage();
  void chkImageClick();
  void PictureOperation(void (*operation)(img::Bitmap&), bool edits);
  void btnRotateLeftClick();
  void btnRotateRightClick();
  void imgPrevMouseDown(const QPoint& at);
  void imgMainMouseDown(Qt::MouseButton button, const QPoint& at);
  void imgMainMouseMove(const QPoint& at);
  void imgMainMouseUp();

  // Web view: the question asked before following a link.
  void webPrevBeforeNavigate(const QUrl& target);

  // Media and play list mode.
  void SetMediaDevice(std::unique_ptr<preview::MediaDevice> device);
  preview::MediaDevice& Media() { return *media_; }
  void MPlayerPlayClick();
  void MPlayerStopClick();
  void MPlayerBackClick();
  void scrMCIChange(int position);
  void tmrMCITimer();
  void MPlayerNotify();
  void StopMedia();
  // The main window's "音楽・動画ファイルを順に見る": toggles the switch.
  void mnuPlayListClick();
  // The same after the switch was toggled by its menu item.
  void PlayListSwitched();
  void mnuPlayFListClick();
  bool PlayListRunning() const { return playListRunning_; }
  int EnabledButtons() const { return enabledButtons_; }

  // Hexadecimal view.
  void LoadBinary();
  void cmbCharSetChange(int index);
  void btnBinFontClick();
  void btnBinCopyClick();

  // A page chosen by the user.
  void pageChange(int index);

  // State, for the window's own parts and tests.
  const std::string& CurrentPath() const { return currentPath_; }
  const std::string& CurrentExt() const { return currentExt_; }
  int CurrentIndex() const { return currentIndex_; }
  bool ImageEdited() const { return imageEdited_; }
  preview::PicturePreview& Picture() { return picture_; }
  const preview::TextForm& TextFormShown() const { return textForm_; }
  QString TempPage() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateTopBar();
  void CreatePages();
  QWidget* CreateImagePage();
  QWidget* CreateMediaPage();
  QWidget* CreateBinaryPage();
  void CreateMenus();
  QAction* AddItem(QMenu* menu, const char* name, const char* caption, const char* shortcut,
                   void (TfrmInputName::*handler)());
  void AddEditMenu(QWidget* edit, const char* name, const char* selectAll,
                   const char* selectAllShortcut);
  void ShowPage(int index);
  void ChooseViewer();
  void ShowText(const std::string& diskPath);
  void ShowWebPage();
  void ShowWebPicture();
  void WriteTempPage(const std::string& sjisHtml);
  void OpenMediaViewer();
  void StartPlayList();
  void EnableButtons(int buttons);
  void ShowPictures();
  bool SavePictureTo(const std::string& diskPath, img::PictureFormat format);
  void SaveTextTo(const std::string& diskPath);
  bool EnsureFullPicture();
  void ReadAhead();
  img::ProgressFn ProgressHandler();
  std::string DiskPath() const;
  void CloseMediaDevice();

  PreviewHost& host_;
  // State of the file shown.
  std::string currentPath_;  // code page 932
  std::string currentExt_;
  int currentIndex_ = 0;
  bool goForward_ = false;
  bool goBackward_ = false;
  bool imageEdited_ = false;
  bool rescaleNeeded_ = false;
  bool dragging_ = false;
  int dragStartX_ = 0;
  int dragStartY_ = 0;
  bool playListRunning_ = false;
  bool programPage_ = false;
  // A fit is under way (decoding repaints, which may resize the view again).
  bool fitting_ = false;
  // The text page holds the file's own text (not a description).
  bool textFromFile_ = false;
  preview::TextForm textForm_;
  preview::PicturePreview picture_;
  // The picture of the next file in the direction of the last step.
  preview::PictureAhead ahead_;
  std::unique_ptr<preview::MediaDevice> media_;
  int enabledButtons_ = 0;

  // Controls.
  QWidget* pnlTop_ = nullptr;
  QWidget* pnlCtrl_ = nullptr;
  QLineEdit* edtName_ = nullptr;
  QToolButton* btnNext_ = nullptr;
  QTabWidget* page_ = nullptr;
  QPlainTextEdit* edtPrev_ = nullptr;
  QCheckBox* chkImage_ = nullptr;
  QCheckBox* chkGasitu_ = nullptr;
  QProgressBar* prog_ = nullptr;
  QScrollArea* scrollBox1_ = nullptr;
  QLabel* imgPrev_ = nullptr;
  QLabel* imgMain_ = nullptr;
  QTextBrowser* webPrev_ = nullptr;
  QWidget* panelMovie_ = nullptr;
  QWidget* mPlayer_ = nullptr;
  QToolButton* btnPlay_ = nullptr;
  QToolButton* btnStop_ = nullptr;
  QToolButton* btnBack_ = nullptr;
  QScrollBar* scrMCI_ = nullptr;
  QTimer* tmrMCI_ = nullptr;
  QComboBox* cmbCharSet_ = nullptr;
  TMxBinEditor* binEdit_ = nullptr;
  QAction* mnuSaveText_ = nullptr;
  QLabel* lblPath_ = nullptr;
};

}  // namespace tonbo
