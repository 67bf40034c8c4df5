#include "app/TfrmHelp.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "common/Folders.h"
#include "core/ExplanationPages.h"
#include "platform/Launcher.h"
#include "windows/PageWindow.h"

namespace tonbo {
namespace {

bool IsLocalPage(const QUrl& url) {
  return url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile();
}

}  // namespace

TfrmHelp::TfrmHelp(QWidget* parent) : QDialog(parent), web_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(QStringLiteral("機能の説明"));
  resize(344, 291);
  web_->setObjectName(QStringLiteral("web"));
  web_->setFrameShape(QFrame::Panel);
  web_->setFrameShadow(QFrame::Sunken);
  web_->document()->setIndentWidth(16);  // lists keep more of the narrow page
  // Links are followed by hand, so nothing outside the local pages is ever loaded.
  web_->setOpenLinks(false);
  connect(web_, &QTextBrowser::anchorClicked, this, &TfrmHelp::webAnchorClicked);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(web_, 1);
  layout->addWidget(CreateStrip());
}

QWidget* TfrmHelp::CreateStrip() {
  auto* strip = new QWidget(this);
  strip->setObjectName(QStringLiteral("pnlBottom"));
  chkOmit_ = new QCheckBox(QStringLiteral("今後、解説を省略する"), strip);
  chkOmit_->setObjectName(QStringLiteral("chkOmit"));
  connect(chkOmit_, &QCheckBox::clicked, this, &TfrmHelp::omitToggled);
  lblHelp_ = new QLabel(QStringLiteral("この画面の説明"), strip);
  lblHelp_->setObjectName(QStringLiteral("lblHelp"));
  QFont font = lblHelp_->font();
  font.setUnderline(true);
  lblHelp_->setFont(font);
  QPalette palette = lblHelp_->palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  lblHelp_->setPalette(palette);
  lblHelp_->setCursor(Qt::PointingHandCursor);
  lblHelp_->installEventFilter(this);
  btnOk_ = new QPushButton(QStringLiteral("実行(&O)"), strip);
  btnOk_->setObjectName(QStringLiteral("btnOk"));
  btnOk_->setDefault(true);
  connect(btnOk_, &QPushButton::clicked, this, &QDialog::accept);
  btnCancel_ = new QPushButton(QStringLiteral("キャンセル(&C)"), strip);
  btnCancel_->setObjectName(QStringLiteral("btnCancel"));
  connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* left = new QVBoxLayout;
  left->addWidget(chkOmit_);
  left->addWidget(lblHelp_);
  // The stretch keeps both buttons at the strip's right edge at any width.
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(6, 4, 6, 6);
  row->addLayout(left);
  row->addStretch(1);
  row->addWidget(btnOk_);
  row->addWidget(btnCancel_);
  return strip;
}

void TfrmHelp::LoadPage(const std::string& diskPath) {
  const QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(diskPath)));
  web_->clear();
  if (IsLocalPage(url)) {
    // The same page again must be read afresh: the browser skips an unchanged source.
    if (web_->source() == url)
      web_->reload();
    else
      web_->setSource(url);
  }
  web_->clearHistory();
}

void TfrmHelp::SetOmitVisible(bool visible) { chkOmit_->setVisible(visible); }

bool TfrmHelp::OmitChecked() const { return chkOmit_->isChecked(); }

void TfrmHelp::SetOmitChecked(bool checked) { chkOmit_->setChecked(checked); }

void TfrmHelp::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  setResult(QDialog::Rejected);
  btnOk_->setFocus();
  emit shown();
}

bool TfrmHelp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblHelp_ && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    lblHelpClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// Another local page (or a place on this one) may be opened inside the
// dialog; web addresses and missing files open nothing.
void TfrmHelp::webAnchorClicked(const QUrl& link) {
  const QUrl target = web_->source().resolved(link);
  if (IsLocalPage(target)) web_->setSource(target);
}

void TfrmHelp::lblHelpClick() {
  const std::string page = ExplanationPage(ProgramDirDisk(), kExplanationHelpKey);
  if (!platform::OpenDiskPath(page)) ShowFileHere(page, this);
}

}  // namespace tonbo
