#include "windows/TfrmInputName.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>

#include <map>

#include "PreviewFakes.h"
#include "QtTestMain.h"
#include "RecordingLauncher.h"
#include "ScriptedDialogs.h"
#include "common/Folders.h"
#include "preview/imaging/BmpFilter.h"
#include "preview/imaging/Codecs.h"
#include "windows/TMxBinEditor.h"

namespace tonbo {
namespace {

using test::FakeMediaDevice;
using test::FakePreviewHost;

// Every file of a folder with its bytes.
std::map<std::string, std::string> Manifest(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const QString& name :
       QDir(QString::fromStdString(dir)).entryList(QDir::Files | QDir::Hidden))
    files[name.toStdString()] = test::ReadFile(dir + name.toStdString());
  return files;
}

img::Bitmap Picture(int width, int height) {
  img::Bitmap b;
  b.Reset(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y, {uint8_t(x * 40), uint8_t(y * 40), uint8_t(200)});
  return b;
}

}  // namespace

class TfrmInputNameTest : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePreviewHost> host_;
  std::unique_ptr<TfrmInputName> dlg_;
  std::unique_ptr<test::ScriptedDialogs> dialogs_;
  FakeMediaDevice* media_ = nullptr;
  std::string dir_;

  TfrmInputName& Make(const std::vector<std::string>& names) {
    dir_ = test::MakeTempDir("pv");
    host_ = std::make_unique<FakePreviewHost>();
    for (const std::string& name : names) {
      if (!QFile::exists(QString::fromStdString(dir_ + name))) test::WriteFile(dir_ + name, "x");
      host_->AddFile(dir_ + name);
    }
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    dlg_ = std::make_unique<TfrmInputName>(*host_);
    auto media = std::make_unique<FakeMediaDevice>();
    media_ = media.get();
    dlg_->SetMediaDevice(std::move(media));
    return *dlg_;
  }
  template <typename T>
  T* Find(const char* name) {
    T* child = dlg_->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no %s", name);
    return child;
  }
  QLineEdit* Name() { return Find<QLineEdit>("edtName"); }
  int Page() { return Find<QTabWidget>("page")->currentIndex(); }
  void Type(const char* text) { Name()->setText(QString::fromUtf8(text)); }
  // Runs a menu item after checking its shortcut.
  void Shortcut(const char* name, const char* keys) {
    QAction* action = Find<QAction>(name);
    QCOMPARE(action->shortcut(), QKeySequence(QString::fromLatin1(keys)));
    action->trigger();
  }
  void Key(int key) { QTest::keyClick(Name(), static_cast<Qt::Key>(key)); }

 private slots:
  void cleanup() {
    dlg_.reset();
    dialogs_.reset();
    host_.reset();
  }

  void emptyListWarnsAndStaysHidden() {
    Make({});
    dlg_->actRenameOneExecute();
    QCOMPARE(dialogs_->shown.size(), size_t(1));
    QCOMPARE(dialogs_->shown[0].text, QStringLiteral("リストにファイルを追加してください。"));
    QCOMPARE(dialogs_->shown[0].caption, QStringLiteral("ファイルのプレビュー"));
    QVERIFY(!dlg_->isVisible());
  }

  void opensOnTheSelectedRowWithCaptionStatusAndDescription() {
    Make({"a.txt", "b.zip", "noext"});
    host_->selected = 1;
    dlg_->actRenameOneExecute();
    QVERIFY(dlg_->isVisible());
    QCOMPARE(Name()->text(), QStringLiteral("b.zip"));
    QCOMPARE(Name()->selectedText(), QStringLiteral("b.zip"));
    QCOMPARE(dlg_->windowTitle(), QStringLiteral("プレビュー(2/3) 元の名前：b.zip"));
    QStatusTipEvent tip{QString()};  // a menu's status tip passes over the bar
    QApplication::sendEvent(dlg_.get(), &tip);
    QCOMPARE(Find<QLabel>("lblPath")->text(),
             QStringLiteral("パス:") + QString::fromStdString(dir_ + "b.zip"));
    QCOMPARE(Page(), int(TfrmInputName::pageText));
    QCOMPARE(Find<QPlainTextEdit>("edtPrev")->toPlainText(), QStringLiteral(".zip形式のファイル"));
    QCOMPARE(dlg_->CurrentExt(), std::string(".zip"));
    // Nothing selected: the first row; with the extension switch only the name.
    host_->selected = -1;
    host_->extNotChange = true;
    dlg_->actRenameOneExecute();
    QCOMPARE(Name()->text(), QStringLiteral("a"));
    QCOMPARE(dlg_->CurrentIndex(), 0);
  }

  void enterWritesNameAndExtensionAndMovesOnRoundTheList() {
    Make({"a.txt", "b.txt", "c.txt"});
    host_->selected = 2;
    dlg_->actRenameOneExecute();
    Type("photo.jpeg");
    Key(Qt::Key_Return);
    QCOMPARE(host_->Row(2), std::string("photo|.jpeg"));
    QVERIFY(host_->log.contains("changed 2"));
    QCOMPARE(dlg_->CurrentIndex(), 0);  // wrapped
    QCOMPARE(host_->selected, 0);
    Type("plain");
    dlg_->btnPrevClick();
    QCOMPARE(host_->Row(0), std::string("plain|"));
    QCOMPARE(dlg_->CurrentIndex(), 2);
    // With the extension switch the whole text is the name.
    host_->extNotChange = true;
    Type("x.y");
    Shortcut("mnuNext", "Ctrl+Q");
    QCOMPARE(host_->Row(2), std::string("x.y|.jpeg"));
  }

  void markedRowsAreSteppedOverAndDeleteMarksThenMoves() {
    Make({"a.txt", "b.txt", "c.txt", "d.txt"});
    host_->table.MarkForDeletion(1);
    host_->table.SetCell(colNewName, 2, DeleteMark() + "x");  // contains the mark: not skipped
    host_->selected = 0;
    dlg_->actRenameOneExecute();
    dlg_->btnNextClick();
    QCOMPARE(dlg_->CurrentIndex(), 2);
    dlg_->btnPrevClick();
    QCOMPARE(dlg_->CurrentIndex(), 0);
    // Delete on the last unmarked file marks it and wraps round.
    host_->selected = 3;
    dlg_->actRenameOneExecute();
    dlg_->btnDeleteClick();
    QCOMPARE(host_->Row(3), enc::FromSjis(DeleteMark()).toStdString() + "|");
    QCOMPARE(dlg_->CurrentIndex(), 0);
  }

  void emptyNameOrEscapeWritesNothing() {
    Make({"a.txt", "b.txt"});
    dlg_->actRenameOneExecute();
    const TCsvDb before = host_->table;
    Type("");
    dlg_->btnNextClick();
    QCOMPARE(dlg_->CurrentIndex(), 0);
    Type("typed");
    Key(Qt::Key_Escape);
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(host_->Row(0), std::string("a|.txt"));
    QCOMPARE(host_->table.RowCount(), before.RowCount());
  }

  void oneFileListReloadsTheSameFile() {
    Make({"only.txt"});
    dlg_->actRenameOneExecute();
    Type("new.txt");
    dlg_->btnNextClick();
    QCOMPARE(dlg_->CurrentIndex(), 0);
    QCOMPARE(Name()->text(), QStringLiteral("new.txt"));
  }

  void textFilesShowAndOverwriteInTheirOwnEncoding() {
    Make({});
    test::WriteFile(dir_ + "s.TXT", "\x8E\xCA\x90\x5E\r\nline\r\n");  // code page 932
    host_->AddFile(dir_ + "s.TXT");
    dlg_->actRenameOneExecute();
    auto* edit = Find<QPlainTextEdit>("edtPrev");
    QCOMPARE(edit->toPlainText(), QStringLiteral("写真\nline\n"));
    edit->setPlainText(QStringLiteral("写真\n変更\n"));
    dialogs_->answers = {Answer::Yes};
    dlg_->mnuSaveTextClick();
    QCOMPARE(dialogs_->Texts("yesno").value(0),
             QString::fromStdString(dir_ + "s.TXT") + QStringLiteral("\r\nに上書き保存しますか？"));
    QCOMPARE(dialogs_->Texts("save").size(), 0);
    QCOMPARE(test::ReadFile(dir_ + "s.TXT"),
             std::string("\x8E\xCA\x90\x5E\r\n\x95\xCF\x8D\x58\r\n"));
    // No: nothing written.
    edit->setPlainText(QStringLiteral("other"));
    dialogs_->answers = {Answer::No};
    dlg_->mnuSaveTextClick();
    QCOMPARE(test::ReadFile(dir_ + "s.TXT"),
             std::string("\x8E\xCA\x90\x5E\r\n\x95\xCF\x8D\x58\r\n"));
  }

  void overwriteRefusesTextThatIsNotTheFile() {
    Make({});
    const std::string binary("\x89PNG\r\n\x1A\n\0\0\xFF\xFE", 12);
    test::WriteFile(dir_ + "b.dat", binary);
    test::WriteFile(dir_ + "m.mp3", "ID3");
    host_->AddFile(dir_ + "b.dat");
    host_->AddFile(dir_ + "m.mp3");
    const auto before = Manifest(dir_);
    dlg_->actRenameOneExecute();
    dlg_->mnuOpenAsTextClick();
    QCOMPARE(Page(), int(TfrmInputName::pageText));
    QVERIFY(!dlg_->TextFormShown().lossless);
    dialogs_->answers = {Answer::Yes};
    dlg_->mnuSaveTextClick();
    // A description on the text page is not the file either.
    host_->selected = 1;
    dlg_->actRenameOneExecute();
    dlg_->mnuSaveTextClick();
    QCOMPARE(dialogs_->Texts("warning").size(), 2);
    QCOMPARE(dialogs_->Texts("yesno").size(), 0);
    QCOMPARE(Manifest(dir_), before);
  }

  void saveAsWritesTheTextOrCopiesTheFile() {
    Make({"a.txt", "c.zip"});
    test::WriteFile(dir_ + "a.txt", "one\ntwo\n");
    dlg_->actRenameOneExecute();
    dialogs_->saveFiles = {QString::fromStdString(dir_ + "out.txt")};
    Shortcut("mnuSaveAs", "Ctrl+S");
    QCOMPARE(test::ReadFile(dir_ + "out.txt"), std::string("one\ntwo\n"));
    // Cancelled: nothing written.
    const auto before = Manifest(dir_);
    dlg_->mnuSaveAsClick();
    QCOMPARE(Manifest(dir_), before);
    // Another file is copied; a copy that fails says why.
    host_->selected = 1;
    dlg_->actRenameOneExecute();
    Find<QTabWidget>("page")->setCurrentIndex(TfrmInputName::pageBinary);
    dialogs_->saveFiles = {QString::fromStdString(dir_ + "d.zip"),
                           QString::fromStdString(dir_ + "no/c.zip")};
    dlg_->mnuSaveAsClick();
    dlg_->mnuSaveAsClick();
    QCOMPARE(test::ReadFile(dir_ + "d.zip"), std::string("x"));
    QVERIFY(dialogs_->Texts("warning").value(0).endsWith(QStringLiteral("見つかりません")));
  }

  void picturesFitLoadFullSizeRotateAndSave() {
    Make({});
    QVERIFY(img::SavePicture(Picture(20, 60), dir_ + "tall.png", img::PictureFormat::Png).Ok());
    test::WriteFile(dir_ + "bad.jpg", "not a jpeg");
    host_->AddFile(dir_ + "tall.png");
    host_->AddFile(dir_ + "bad.jpg");
    host_->AddFile(dir_ + "next.txt");
    test::WriteFile(dir_ + "next.txt", "t");
    dlg_->resize(495, 423);
    dlg_->show();
    dlg_->actRenameOneExecute();
    QCOMPARE(Page(), int(TfrmInputName::pageImage));
    QCOMPARE(Find<QProgressBar>("prog")->value(), 100);
    auto* fitted = Find<QLabel>("imgPrev");
    const QWidget* viewport = Find<QScrollArea>("ScrollBox1")->viewport();
    // Narrower than the view and taller: fitted by height (once laid out).
    QTRY_COMPARE(fitted->pixmap().height(), viewport->height());
    const QSize view = viewport->size();
    QCOMPARE(fitted->pixmap().width(), int(20.0 * view.height() / 60));
    // A click shows the full size; a right click goes back.
    QTest::mouseClick(fitted, Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(!Find<QCheckBox>("chkImage")->isChecked());
    QCOMPARE(Find<QLabel>("imgMain")->pixmap().size(), QSize(20, 60));
    QTest::mousePress(Find<QLabel>("imgMain"), Qt::RightButton);
    QVERIFY(Find<QCheckBox>("chkImage")->isChecked());
    // A rotation asks on moving on; Yes saves as the chosen PNG.
    dlg_->btnRotateRightClick();
    QVERIFY(dlg_->ImageEdited());
    QCOMPARE(dlg_->Picture().Width(), 60);
    dialogs_->answers = {Answer::Yes};
    dialogs_->saveFiles = {QString::fromStdString(dir_ + "turned.png")};
    dialogs_->onWarning = [&] { QVERIFY(fitted->pixmap().isNull()); };  // not the last picture
    dlg_->btnNextClick();
    QCOMPARE(dialogs_->Texts("yesno").value(0),
             QStringLiteral("画像が編集されています。変更を上書き保存しますか？"));
    const img::DecodeResult turned = img::LoadPicture(dir_ + "turned.png", img::PictureFormat::Png);
    QVERIFY(turned.Ok());
    QCOMPARE(turned.bitmap.Width(), 60);
    // The next picture cannot be read: a warning, the view stays usable.
    QCOMPARE(dlg_->CurrentIndex(), 1);
    QCOMPARE(dialogs_->Texts("warning").value(0),
             QString::fromStdString(dir_ + "bad.jpg") + QStringLiteral("\r\nが開けません。"));
    // Only a picture that loads clears the edit mark: the question comes again.
    QVERIFY(dlg_->ImageEdited());
  }

  // Next shows the next picture as the disk holds it now, also when it was
  // read ahead and saved over before the step.
  void nextShowsThePictureAsItIsNow() {
    Make({});
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
      QVERIFY(img::SavePicture(Picture(40, 30), dir_ + name, img::PictureFormat::Jpeg).Ok());
      host_->AddFile(dir_ + name);
    }
    dlg_->show();
    dlg_->actRenameOneExecute();
    QVERIFY(img::SavePicture(Picture(20, 10), dir_ + "b.jpg", img::PictureFormat::Jpeg).Ok());
    dlg_->btnNextClick();
    QCOMPARE(dlg_->CurrentIndex(), 1);
    QCOMPARE(dlg_->Picture().Width(), 20);
    dlg_->btnNextClick();
    QCOMPARE(dlg_->Picture().Width(), 40);
  }

  void pictureOperationsAndOverwriteSave() {
    Make({});
    QVERIFY(img::SavePicture(Picture(4, 3), dir_ + "p.bmp", img::PictureFormat::Bmp).Ok());
    QVERIFY(img::SavePicture(Picture(4, 3), dir_ + "q.jpg", img::PictureFormat::Jpeg).Ok());
    host_->AddFile(dir_ + "p.bmp");
    host_->AddFile(dir_ + "q.jpg");
    dlg_->show();
    dlg_->actRenameOneExecute();
    img::Bitmap expected = Picture(4, 3);
    img::Negaposi(expected);
    dlg_->PictureOperation(&img::Negaposi, false);
    QVERIFY(!dlg_->ImageEdited());
    dlg_->mnuSaveTextClick();  // greyed on other pages, but the command still writes pictures
    const img::DecodeResult saved = img::LoadPicture(dir_ + "p.bmp", img::PictureFormat::Bmp);
    QVERIFY(saved.Ok());
    QVERIFY(saved.bitmap == expected);
    // JPEG asks about Exif first; No keeps the file.
    host_->selected = 1;
    dlg_->actRenameOneExecute();
    const std::string jpeg = test::ReadFile(dir_ + "q.jpg");
    dlg_->PictureOperation(&img::GrayScale, false);
    dialogs_->answers = {Answer::No};
    dlg_->mnuSaveTextClick();
    QCOMPARE(dialogs_->Texts("yesno").value(0),
             QStringLiteral("Exif情報は保存されませんがよろしいですか？"));
    QCOMPARE(test::ReadFile(dir_ + "q.jpg"), jpeg);
    for (const char* name : {"c.jpeg", "c.JPE"}) {  // JPEG as well
      dialogs_->saveFiles = {QString::fromStdString(dir_ + name)};
      dlg_->mnuSaveAsClick();
      QVERIFY(img::LoadPicture(dir_ + name, img::PictureFormat::Jpeg).Ok());
    }
    // Copy puts the whole picture on the clipboard and plays the sound.
    dlg_->mnuCopyClick();
    QCOMPARE(QApplication::clipboard()->image().size(), QSize(4, 3));
    QVERIFY(host_->log.contains("sound 0"));
  }

  void webPagesCommentOutScriptsAndAskBeforeLeaving() {
    Make({});
    test::WriteFile(
        dir_ + "p.html",
        "<html><body><script>alert(1)</script><a href=\"other.html\">x</a></body></html>");
    test::WriteFile(dir_ + "other.html", "<p>other</p>");
    host_->AddFile(dir_ + "p.html");
    host_->AddFile(dir_ + "other.html");
    dlg_->actRenameOneExecute();
    QCOMPARE(Page(), int(TfrmInputName::pageHtml));
    const std::string page = test::ReadFile(QFile::encodeName(dlg_->TempPage()).toStdString());
    QVERIFY(page.find("<BASE href=\"" + dir_ + "\">") != std::string::npos);
    QVERIFY(page.find("<!--SCRIPT>alert(1)</SCRIPT-->") != std::string::npos);
    auto* web = Find<QTextBrowser>("webPrev");
    QCOMPARE(web->source(), QUrl::fromLocalFile(dlg_->TempPage()));
    for (const char* shown : {"other", "x"}) {  // each page in a row shows itself
      dlg_->btnNextClick();
      QCOMPARE(web->toPlainText(), QString::fromLatin1(shown));
    }
    dialogs_->answers = {Answer::No};
    dlg_->webPrevBeforeNavigate(QUrl(QStringLiteral("other.html")));
    QCOMPARE(dialogs_->Texts("yesno").value(0),
             QStringLiteral("他のページへ移動しようとしました。\r\n\"") +
                 QString::fromStdString(dir_ + "other.html\"\r\nへの移動を許可しますか？"));
    QCOMPARE(web->source(), QUrl::fromLocalFile(dlg_->TempPage()));
    // The page itself passes without a question.
    dlg_->webPrevBeforeNavigate(QUrl::fromLocalFile(dlg_->TempPage()));
    QCOMPARE(dialogs_->Texts("yesno").size(), 1);
  }

  void mediaButtonsDriveTheDevice() {
    Make({"s.wav", "t.mp3"});
    dlg_->actRenameOneExecute();
    QCOMPARE(Page(), int(TfrmInputName::pageMedia));
    QCOMPARE(media_->calls, QStringList({"close", "open"}));
    QCOMPARE(dlg_->EnabledButtons(), 7);
    media_->calls.clear();
    dlg_->MPlayerPlayClick();
    QCOMPARE(media_->calls, QStringList({"seek 0", "play"}));
    QCOMPARE(dlg_->EnabledButtons(), int(TfrmInputName::btStop | TfrmInputName::btBack));
    media_->position = 1200;
    dlg_->tmrMCITimer();
    QCOMPARE(Find<QScrollBar>("scrMCI")->value(), 1200);
    QCOMPARE(Find<QScrollBar>("scrMCI")->maximum(), 5000);
    const QImage greyed = Find<QWidget>("MPlayerPlay")->grab().toImage();
    dlg_->MPlayerStopClick();
    QCOMPARE(media_->mode, preview::MediaMode::Stopped);
    QCOMPARE(dlg_->EnabledButtons(), 7);
    QVERIFY(Find<QWidget>("MPlayerPlay")->grab().toImage() != greyed);
    // Moving on stops and closes the device; .mp3 is only a description here.
    dlg_->btnNextClick();
    QCOMPARE(media_->mode, preview::MediaMode::NotReady);
    QCOMPARE(Page(), int(TfrmInputName::pageText));
  }

  void playListPlaysFileAfterFileAndAsksAboutOthers() {
    Make({"a.wav", "b.mp3", "c.txt"});
    host_->selected = 0;
    dlg_->mnuPlayListClick();
    QVERIFY(host_->playList);
    QVERIFY(dlg_->PlayListRunning());
    QCOMPARE(media_->mode, preview::MediaMode::Playing);
    QCOMPARE(media_->file, dir_ + "a.wav");
    Type("first.wav");
    media_->ReachEnd();
    QTRY_COMPARE(media_->file, dir_ + "b.mp3");
    QCOMPARE(host_->Row(0), std::string("first|.wav"));
    QVERIFY(host_->playList);
    QCOMPARE(media_->mode, preview::MediaMode::Playing);
    // The next one is no media file: No stays on it.
    dialogs_->answers = {Answer::No};
    media_->ReachEnd();
    QTRY_COMPARE(dlg_->CurrentIndex(), 2);
    QCOMPARE(dialogs_->Texts("yesno").value(0),
             QStringLiteral("\"") + QString::fromStdString(dir_ + "c.txt") +
                 QStringLiteral("\"はマルチメディアファイルではありません。次を演奏します。"));
    // Stop clears the running flag; switching the mode off stops everything.
    dlg_->MPlayerStopClick();
    QVERIFY(!dlg_->PlayListRunning());
    dlg_->mnuPlayListClick();
    QVERIFY(!host_->playList);
  }

  // A FIFO in the list is described whatever its viewer, never opened.
  void aFifoIsDescribedOnEveryPageNotRead() {
    Make({});
    std::vector<std::unique_ptr<test::FifoTrap>> traps;
    for (const char* name : {"p.txt", "p.jpg", "p.htm", "p.gif", "p.bin"}) {
      traps.push_back(std::make_unique<test::FifoTrap>(dir_ + name));
      host_->AddFile(dir_ + name);
    }
    dlg_->actRenameOneExecute();
    for (const auto& trap : traps) {
      QVERIFY(Find<QPlainTextEdit>("edtPrev")->toPlainText().endsWith(
          QStringLiteral("名前付きパイプ（FIFO）のため、内容は表示しません。")));
      QCOMPARE(Page(), int(TfrmInputName::pageText));
      Find<QTabWidget>("page")->setCurrentIndex(TfrmInputName::pageBinary);
      dlg_->mnuOpenAsTextClick();
      dlg_->btnNextClick();
      QVERIFY(!trap->Caught());
    }
    QVERIFY(dialogs_->shown.empty());
  }

  void hexViewLoadsOnItsPageAndCopies() {
    Make({});
    test::WriteFile(dir_ + "d.bin", std::string("AB\x8E\xCA", 4));
    host_->AddFile(dir_ + "d.bin");
    dlg_->actRenameOneExecute();
    auto* bin = Find<TMxBinEditor>("binEdit");
    QCOMPARE(bin->DataSize(), uint64_t(0));  // not loaded until its page is chosen
    dlg_->show();
    Find<QTabWidget>("page")->setCurrentIndex(TfrmInputName::pageBinary);
    QCOMPARE(bin->DataSize(), uint64_t(4));
    QCOMPARE(bin->horizontalScrollBar()->maximum(), 0);  // whole lines at the default size
    QVERIFY(!dlg_->findChild<QAction*>("mnuSaveText")->isEnabled());
    QCOMPARE(bin->LineText(0), QStringLiteral("00000000  41 42 8E CA  AB写"));
    Find<QComboBox>("cmbCharSet")->setCurrentIndex(0);
    QCOMPARE(bin->CharCode(), 0);
    QCOMPARE(bin->LineText(0), QStringLiteral("00000000  41 42 8E CA  AB.."));
    dlg_->btnBinCopyClick();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("41 42 8E CA"));
    bin->SetSelection(1, 3);
    dlg_->btnBinCopyClick();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("42 8E"));
    dialogs_->fonts = {QFont(QStringLiteral("Monospace"), 15).toString()};
    dlg_->btnBinFontClick();
    QCOMPARE(bin->font().pointSize(), 15);
    Find<QTabWidget>("page")->setCurrentIndex(TfrmInputName::pageText);
    QVERIFY(dlg_->findChild<QAction*>("mnuSaveText")->isEnabled());
  }

  void helpCommands() {
    Make({"a.txt"});
    dlg_->mnuHelpPreviewClick();
    QCOMPARE(host_->log.last(), QStringLiteral("explain preview 0"));
    // Ctrl+C and Ctrl+E in the name box: the menu's, but for a selected text's copy.
    test::RecordingLauncher launcher;
    dlg_->actRenameOneExecute();
    QVERIFY(QTest::qWaitForWindowActive(dlg_.get()));
    QTest::keyClick(Name(), Qt::Key_C, Qt::ControlModifier);
    Name()->deselect();
    QTest::keyClick(Name(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Name(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a.txt"));
    QCOMPARE(host_->log.count(QStringLiteral("sound 0")), 1);
    QCOMPARE(launcher.opened.size(), size_t(1));
    // No program for the manual: it shows in the program's own window.
    launcher.answer = false;
    dlg_->mnuHelpAppClick();
    QCOMPARE(launcher.opened.size(), size_t(2));
    QCOMPARE(dialogs_->shown.back().text, QStringLiteral("frmPage"));
  }
};

}  // namespace tonbo

TONBO_QTEST_CLASS(tonbo::TfrmInputNameTest)
#include "TfrmInputNameTest.moc"
