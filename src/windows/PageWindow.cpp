#include "windows/PageWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/Dialogs.h"
#include "common/Sjis.h"
#include "common/TextFile.h"
#include "windows/NameFont.h"

namespace tonbo {
namespace {

QString DecodeText(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArray::fromStdString(bytes));
  return utf8.hasError() ? enc::FromSjis(bytes) : text;
}

bool IsPage(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QStringLiteral("htm") || suffix == QStringLiteral("html");
}

}  // namespace

PageWindow::PageWindow(QWidget* parent) : QDialog(parent), view_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("frmPage"));
  resize(640, 480);
  view_->setObjectName(QStringLiteral("view"));
  view_->setOpenLinks(false);  // only local pages, followed by hand
  connect(view_, &QTextBrowser::anchorClicked, this, &PageWindow::anchorClicked);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addWidget(buttons);
}

void PageWindow::LoadFile(const std::string& diskPath) {
  const QString path = QFile::decodeName(QByteArray::fromStdString(diskPath));
  setWindowTitle(QFileInfo(path).fileName());
  if (IsPage(path)) {
    view_->setSource(QUrl::fromLocalFile(path));
    if (!view_->document()->isEmpty()) setWindowTitle(view_->documentTitle());
    return;
  }
  std::string bytes;
  if (!ReadWholeFile(diskPath, bytes))
    bytes = enc::ToSjis(QStringLiteral("ファイルを読み込めませんでした：") + path);
  SetText(QFileInfo(path).fileName(), DecodeText(bytes));
}

void PageWindow::SetText(const QString& title, const QString& text) {
  setWindowTitle(title);
  UseNameFont(view_);  // fixed pitch keeps columns of logs and samples
  view_->setPlainText(text);
}

QString PageWindow::Text() const { return view_->toPlainText(); }

void PageWindow::anchorClicked(const QUrl& link) {
  const QUrl target = view_->source().resolved(link);
  if (target.isLocalFile() && QFileInfo(target.toLocalFile()).isFile() &&
      IsPage(target.toLocalFile()))
    view_->setSource(target);
}

void ShowFileHere(const std::string& diskPath, QWidget* parent) {
  PageWindow window(parent);
  window.LoadFile(diskPath);
  Dialogs().RunModal(window);
}

void ShowTextHere(const QString& title, const QString& text, QWidget* parent) {
  PageWindow window(parent);
  window.SetText(title, text);
  Dialogs().RunModal(window);
}

}  // namespace tonbo
