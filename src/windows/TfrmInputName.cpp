// The preview dialog's window: top bar, pages, menus and status bar.
#include "windows/TfrmInputName.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "preview/imaging/BmpFilter.h"
#include "preview/imaging/SepiaF.h"
#include "windows/Controls.h"
#include "windows/NameFont.h"
#include "windows/QtMediaDevice.h"
#include "windows/TMxBinEditor.h"

namespace tonbo {

using ui::U;

namespace {

// The theme's glyph (or its symbolic form, all some themes still have), else
// the style's own: a button with no glyph looks the same greyed or not.
// Either comes with its theme's or style's disabled rendering.
QIcon Glyph(const QWidget* button, const char* icon, QStyle::StandardPixmap fallback) {
  const QString name = QString::fromLatin1(icon);
  for (const QString& themed : {name, name + QStringLiteral("-symbolic")})
    if (QIcon::hasThemeIcon(themed)) return QIcon::fromTheme(themed);
  return button->style()->standardIcon(fallback, nullptr, button);
}

// A button the style has no glyph for (SP_CustomBase) shows `text` when the
// theme has none either.
QToolButton* FlatButton(QWidget* parent, const char* name, const char* hint, const char* icon,
                        QStyle::StandardPixmap fallback, const char* text = nullptr) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoRaise(true);
  button->setToolTip(U(hint));
  button->setIcon(Glyph(button, icon, fallback));
  if (text && button->icon().isNull()) button->setText(U(text));
  button->setFixedSize(25, 25);
  return button;
}

}  // namespace

TfrmInputName::TfrmInputName(PreviewHost& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window), host_(host) {
  setObjectName(QStringLiteral("frmInputName"));
  setWindowTitle(QStringLiteral("プレビュー"));
  resize(495, 423);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  setCentralWidget(central);
  CreateTopBar();
  layout->addWidget(pnlTop_);
  CreatePages();
  layout->addWidget(page_, 1);
  statusBar()->setObjectName(QStringLiteral("bar"));
  // A permanent widget: the status tips of menus pass over it and leave it.
  lblPath_ = new QLabel(statusBar());
  lblPath_->setObjectName(QStringLiteral("lblPath"));
  lblPath_->setTextFormat(Qt::PlainText);
  lblPath_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // a long path is cut
  statusBar()->addPermanentWidget(lblPath_, 1);
  CreateMenus();
  media_ = std::make_unique<QtMediaDevice>(panelMovie_, this);
  media_->onNotify = [this] { MPlayerNotify(); };
}

TfrmInputName::~TfrmInputName() = default;

void TfrmInputName::CreateTopBar() {
  pnlTop_ = new QWidget(this);
  pnlTop_->setObjectName(QStringLiteral("pnlTop"));
  pnlTop_->setFixedHeight(33);
  pnlTop_->installEventFilter(this);
  pnlCtrl_ = new QWidget(pnlTop_);
  pnlCtrl_->setObjectName(QStringLiteral("pnlCtrl"));
  auto* row = new QHBoxLayout(pnlCtrl_);
  row->setContentsMargins(2, 4, 2, 4);
  row->setSpacing(2);
  auto* btnDelete =
      FlatButton(pnlCtrl_, "btnDelete", "ファイルを削除", "edit-delete", QStyle::SP_TrashIcon);
  auto* btnRotateLeft = FlatButton(pnlCtrl_, "btnRotateLeft", "画像左回転", "object-rotate-left",
                                   QStyle::SP_CustomBase, "↺");
  auto* btnPrev =
      FlatButton(pnlCtrl_, "btnPrev", "前のファイル", "go-previous", QStyle::SP_ArrowBack);
  auto* label2 = ui::Text(pnlCtrl_, "名前");
  label2->setObjectName(QStringLiteral("Label2"));
  edtName_ = ui::Edit(pnlCtrl_, "edtName");
  edtName_->setFixedWidth(260);
  UseNameFont(edtName_);  // full-width letters must look full-width while naming
  edtName_->installEventFilter(this);
  btnNext_ = FlatButton(pnlCtrl_, "btnNext", "次のファイル", "go-next", QStyle::SP_ArrowForward);
  auto* btnRotateRight = FlatButton(pnlCtrl_, "btnRotateRight", "画像右回転", "object-rotate-right",
                                    QStyle::SP_CustomBase, "↻");
  for (QWidget* w : std::initializer_list<QWidget*>{btnDelete, btnRotateLeft, btnPrev, label2,
                                                    edtName_, btnNext_, btnRotateRight})
    row->addWidget(w);
  pnlCtrl_->adjustSize();
  connect(btnDelete, &QToolButton::clicked, this, [this] { btnDeleteClick(); });
  connect(btnRotateLeft, &QToolButton::clicked, this, [this] { btnRotateLeftClick(); });
  connect(btnPrev, &QToolButton::clicked, this, [this] { btnPrevClick(); });
  connect(btnNext_, &QToolButton::clicked, this, [this] { btnNextClick(); });
  connect(btnRotateRight, &QToolButton::clicked, this, [this] { btnRotateRightClick(); });
}

void TfrmInputName::CreatePages() {
  page_ = new QTabWidget(this);
  page_->setObjectName(QStringLiteral("page"));
  edtPrev_ = new QPlainTextEdit(page_);
  edtPrev_->setObjectName(QStringLiteral("edtPrev"));
  QFont mono(QStringLiteral("Noto Sans Mono CJK JP"));
  mono.setStyleHint(QFont::Monospace);
  mono.setPixelSize(13);
  edtPrev_->setFont(mono);
  edtPrev_->setLineWrapMode(QPlainTextEdit::NoWrap);
  page_->addTab(edtPrev_, QStringLiteral("テキスト"));
  page_->addTab(CreateImagePage(), QStringLiteral("画像"));
  webPrev_ = new QTextBrowser(page_);
  webPrev_->setObjectName(QStringLiteral("webPrev"));
  webPrev_->setOpenLinks(false);
  connect(webPrev_, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& url) { webPrevBeforeNavigate(url); });
  page_->addTab(webPrev_, QStringLiteral("Html"));
  page_->addTab(CreateMediaPage(), QStringLiteral("マルチメディア"));
  page_->addTab(CreateBinaryPage(), QStringLiteral("バイナリエディタ"));
  connect(page_, &QTabWidget::currentChanged, this, [this](int index) {
    if (!programPage_) pageChange(index);
  });
}

QWidget* TfrmInputName::CreateImagePage() {
  auto* pageImage = new QWidget(page_);
  auto* column = new QVBoxLayout(pageImage);
  column->setContentsMargins(0, 0, 0, 0);
  auto* panel3 = new QWidget(pageImage);
  panel3->setObjectName(QStringLiteral("Panel3"));
  auto* strip = new QHBoxLayout(panel3);
  strip->setContentsMargins(4, 2, 4, 2);
  chkImage_ = ui::Check(panel3, "chkImage", "画面に合わせる");
  chkImage_->setChecked(true);
  chkGasitu_ = ui::Check(panel3, "chkGasitu", "画質優先");
  chkGasitu_->setChecked(true);
  prog_ = new QProgressBar(panel3);
  prog_->setObjectName(QStringLiteral("prog"));
  prog_->setRange(0, 100);
  prog_->setValue(0);
  prog_->setTextVisible(false);
  strip->addWidget(chkImage_);
  strip->addWidget(chkGasitu_);
  strip->addWidget(prog_, 1);
  column->addWidget(panel3);
  scrollBox1_ = new QScrollArea(pageImage);
  scrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
  scrollBox1_->viewport()->installEventFilter(this);
  auto* holder = new QWidget;
  imgPrev_ = new QLabel(holder);
  imgPrev_->setObjectName(QStringLiteral("imgPrev"));
  imgPrev_->setCursor(Qt::PointingHandCursor);
  imgPrev_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  imgPrev_->installEventFilter(this);
  imgMain_ = new QLabel(holder);
  imgMain_->setObjectName(QStringLiteral("imgMain"));
  imgMain_->hide();
  imgMain_->installEventFilter(this);
  scrollBox1_->setWidget(holder);
  column->addWidget(scrollBox1_, 1);
  connect(chkImage_, &QCheckBox::clicked, this, [this] { chkImageClick(); });
  connect(chkGasitu_, &QCheckBox::clicked, this, [this] {
    rescaleNeeded_ = true;
    FitImage();
  });
  return pageImage;
}

QWidget* TfrmInputName::CreateMediaPage() {
  auto* pageMedia = new QWidget(page_);
  auto* column = new QVBoxLayout(pageMedia);
  column->setContentsMargins(0, 0, 0, 0);
  panelMovie_ = new QWidget(pageMedia);
  panelMovie_->setObjectName(QStringLiteral("panelMovie"));
  column->addWidget(panelMovie_, 1);
  auto* bottom = new QHBoxLayout;
  mPlayer_ = new QWidget(pageMedia);
  mPlayer_->setObjectName(QStringLiteral("MPlayer"));
  auto* buttons = new QHBoxLayout(mPlayer_);
  buttons->setContentsMargins(0, 0, 0, 0);
  btnPlay_ =
      FlatButton(mPlayer_, "MPlayerPlay", "再生", "media-playback-start", QStyle::SP_MediaPlay);
  btnStop_ =
      FlatButton(mPlayer_, "MPlayerStop", "停止", "media-playback-stop", QStyle::SP_MediaStop);
  btnBack_ = FlatButton(mPlayer_, "MPlayerBack", "先頭へ戻る", "media-skip-backward",
                        QStyle::SP_MediaSkipBackward);
  for (QToolButton* b : {btnPlay_, btnStop_, btnBack_}) buttons->addWidget(b);
  scrMCI_ = new QScrollBar(Qt::Horizontal, pageMedia);
  scrMCI_->setObjectName(QStringLiteral("scrMCI"));
  scrMCI_->setRange(0, 0);
  bottom->addWidget(mPlayer_);
  bottom->addWidget(scrMCI_, 1);
  column->addLayout(bottom);
  tmrMCI_ = new QTimer(this);
  tmrMCI_->setObjectName(QStringLiteral("tmrMCI"));
  tmrMCI_->setInterval(100);
  connect(tmrMCI_, &QTimer::timeout, this, [this] { tmrMCITimer(); });
  connect(btnPlay_, &QToolButton::clicked, this, [this] { MPlayerPlayClick(); });
  connect(btnStop_, &QToolButton::clicked, this, [this] { MPlayerStopClick(); });
  connect(btnBack_, &QToolButton::clicked, this, [this] { MPlayerBackClick(); });
  connect(scrMCI_, &QScrollBar::actionTriggered, this,
          [this] { scrMCIChange(scrMCI_->sliderPosition()); });
  mPlayer_->setEnabled(false);
  EnableButtons(0);
  return pageMedia;
}

QWidget* TfrmInputName::CreateBinaryPage() {
  auto* pageBinary = new QWidget(page_);
  auto* column = new QVBoxLayout(pageBinary);
  column->setContentsMargins(0, 0, 0, 0);
  auto* strip = new QHBoxLayout;
  strip->setContentsMargins(4, 2, 4, 2);
  cmbCharSet_ = new QComboBox(pageBinary);
  cmbCharSet_->setObjectName(QStringLiteral("cmbCharSet"));
  cmbCharSet_->addItems({"ASCII", "Shift-JIS", "JIS", "EUC", "UNICODE"});
  cmbCharSet_->setCurrentIndex(1);
  auto* btnBinFont = new QPushButton(QStringLiteral("フォント変更"), pageBinary);
  btnBinFont->setObjectName(QStringLiteral("btnBinFont"));
  auto* btnBinCopy = new QPushButton(QStringLiteral("コピー"), pageBinary);
  btnBinCopy->setObjectName(QStringLiteral("btnBinCopy"));
  strip->addWidget(cmbCharSet_);
  strip->addWidget(btnBinFont);
  strip->addWidget(btnBinCopy);
  strip->addStretch(1);
  column->addLayout(strip);
  binEdit_ = new TMxBinEditor(pageBinary);
  binEdit_->SetCharCode(1);
  column->addWidget(binEdit_, 1);
  connect(cmbCharSet_, &QComboBox::currentIndexChanged, this,
          [this](int index) { cmbCharSetChange(index); });
  connect(btnBinFont, &QPushButton::clicked, this, [this] { btnBinFontClick(); });
  connect(btnBinCopy, &QPushButton::clicked, this, [this] { btnBinCopyClick(); });
  connect(binEdit_, &TMxBinEditor::mouseReleased, this, [this] { binEdit_->ScrollLines(1); });
  connect(binEdit_, &TMxBinEditor::wheelDown, this, [this] { binEdit_->ScrollLines(-1); });
  return pageBinary;
}

QAction* TfrmInputName::AddItem(QMenu* menu, const char* name, const char* caption,
                                const char* shortcut, void (TfrmInputName::*handler)()) {
  QAction* action = menu->addAction(U(caption));
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  action->setShortcutContext(Qt::WindowShortcut);
  if (handler) connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
  return action;
}

void TfrmInputName::CreateMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
  AddItem(file, "mnuNext", "次のファイル", "Ctrl+Q", &TfrmInputName::btnNextClick);
  AddItem(file, "mnuPrev", "前のファイル", "Ctrl+W", &TfrmInputName::btnPrevClick);
  file->addSeparator();
  mnuSaveText_ =
      AddItem(file, "mnuSaveText", "上書き保存(&A)", "", &TfrmInputName::mnuSaveTextClick);
  AddItem(file, "mnuSaveAs", "名前を付けて保存(&A)", "Ctrl+S", &TfrmInputName::mnuSaveAsClick);
  file->addSeparator();
  AddItem(file, "Close1", "閉じる(&C)", "", &TfrmInputName::Close1Click);
  QMenu* open = bar->addMenu(QStringLiteral("開く(&O)"));
  AddItem(open, "mnuOpenAsText", "テキストとして開く", "Ctrl+T",
          &TfrmInputName::mnuOpenAsTextClick);
  AddItem(open, "mnuExecute", "関連付けで実行", "Ctrl+E", &TfrmInputName::mnuExecuteClick);
  QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
  AddItem(edit, "mnuCopy", "コピー(&C)", "Ctrl+C", &TfrmInputName::mnuCopyClick);
  QMenu* function = bar->addMenu(QStringLiteral("機能(&F)"));
  AddItem(function, "mnuPlayFList", "音楽・動画ファイルを連続演奏する", "",
          &TfrmInputName::mnuPlayFListClick);
  function->addSeparator();
  auto op = [this, function](const char* name, const char* caption,
                             void (*operation)(img::Bitmap&)) {
    QAction* a = AddItem(function, name, caption, "", nullptr);
    connect(a, &QAction::triggered, this,
            [this, operation] { PictureOperation(operation, false); });
  };
  op("mnuGrayScale", "画像をグレイスケールに変換", &img::GrayScale);
  op("mnuNegaposi", "画像ネガポジ反転", &img::Negaposi);
  op("mnuFlipVert", "画像垂直反転", &img::FlipVertical);
  op("mnuFlipHorz", "画像水平反転", &img::FlipHorizontal);
  op("mnuPicSepia", "セピア調にする", &img::Sepia);
  QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
  AddItem(help, "mnuHelpPreview", "プレビューダイアログの説明", "",
          &TfrmInputName::mnuHelpPreviewClick);
  AddItem(help, "mnuHelpApp", "「Tonbo」の説明", "F1", &TfrmInputName::mnuHelpAppClick);
  AddEditMenu(edtPrev_, "PopupMenu1", "すべて選択(&A)", "Ctrl+A");
  AddEditMenu(edtName_, "PopupMenu2", "全て選択(&A)", "");
}

// The edit commands of an edit box's context menu, each run on that box.
void TfrmInputName::AddEditMenu(QWidget* edit, const char* name, const char* selectAll,
                                const char* selectAllShortcut) {
  auto* menu = new QMenu(edit);
  menu->setObjectName(QString::fromLatin1(name));
  const struct {
    const char* caption;
    const char* shortcut;
    const char* slot;
  } items[] = {{"元に戻す(&U)", "Ctrl+Z", "undo"},
               {"切り取り(&T)", "Ctrl+X", "cut"},
               {"コピー(&C)", "Ctrl+C", "copy"},
               {"貼り付け(&P)", "Ctrl+V", "paste"},
               {selectAll, selectAllShortcut, "selectAll"}};
  for (const auto& item : items) {
    QAction* action = menu->addAction(U(item.caption));
    action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
    const char* slot = item.slot;
    connect(action, &QAction::triggered, edit,
            [edit, slot] { QMetaObject::invokeMethod(edit, slot); });
  }
  edit->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(edit, &QWidget::customContextMenuRequested, menu,
          [menu, edit](const QPoint& at) { menu->popup(edit->mapToGlobal(at)); });
}

bool TfrmInputName::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pnlTop_ && event->type() == QEvent::Resize) {
    pnlCtrl_->move(std::max(0, (pnlTop_->width() - pnlCtrl_->width()) / 2), 0);
  } else if (watched == edtName_ && event->type() == QEvent::ShortcutOverride) {
    // The menu's Ctrl+C (コピー) and Ctrl+E (関連付けで実行) win over the
    // box's own keys, except that Ctrl+C still copies text selected in it.
    const QKeyCombination keys = static_cast<QKeyEvent*>(event)->keyCombination();
    if ((keys == (Qt::CTRL | Qt::Key_C) && !edtName_->hasSelectedText()) ||
        keys == (Qt::CTRL | Qt::Key_E)) {
      event->ignore();
      return true;
    }
  } else if (watched == edtName_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      btnNextClick();
      return true;
    }
    if (key == Qt::Key_Escape) {
      Close1Click();
      return true;
    }
  } else if (scrollBox1_ && watched == scrollBox1_->viewport() && event->type() == QEvent::Resize) {
    rescaleNeeded_ = true;
    if (page_->currentIndex() == pageImage) FitImage();
  } else if (watched == imgPrev_ && event->type() == QEvent::MouseButtonPress) {
    imgPrevMouseDown(static_cast<QMouseEvent*>(event)->position().toPoint());
    return true;
  } else if (watched == imgMain_) {
    // Only mouse events are mouse events: the picture also gets polish,
    // resize and paint events.
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      imgMainMouseDown(mouse->button(), mouse->position().toPoint());
    } else if (type == QEvent::MouseMove) {
      imgMainMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
    } else if (type == QEvent::MouseButtonRelease) {
      imgMainMouseUp();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tonbo
