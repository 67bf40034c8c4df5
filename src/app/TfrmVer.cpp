#include "app/TfrmVer.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <string>

#include "app/TonboLogo.h"
#include "common/Folders.h"
#include "common/TextFile.h"

namespace tonbo {
namespace {

const QRect kFrame(8, 8, 301, 112);  // the dotted rectangle around the logo

// The third line of the program folder's history.txt (UTF-8); false when the
// file is missing or shorter.
bool ReadVersionLine(QString& line) {
  std::string bytes;
  if (!ReadWholeFile(ProgramDirDisk() + "history.txt", bytes)) return false;
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  const std::string lines = ToCrLfLines(bytes);
  size_t start = 0;
  for (int i = 0; i < 2; ++i) {
    const size_t end = lines.find("\r\n", start);
    if (end == std::string::npos) return false;
    start = end + 2;
  }
  const size_t end = lines.find("\r\n", start);
  if (end == std::string::npos) return false;
  line = QString::fromUtf8(lines.data() + start, static_cast<qsizetype>(end - start));
  return true;
}

}  // namespace

TfrmVer::TfrmVer(QWidget* parent)
    : QDialog(parent),
      imgLogo_(new QLabel(this)),
      lblVersion_(new QLabel(QStringLiteral("Version.2.00"), this)),
      btnOk_(new QPushButton(QStringLiteral("&OK"), this)) {
  setObjectName(QStringLiteral("frmVer"));
  setWindowTitle(QStringLiteral("「Tonbo」"));
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(317, 168);
  imgLogo_->setObjectName(QStringLiteral("imgLogo"));
  imgLogo_->setGeometry(kFrame.adjusted(10, 8, -10, -8));
  imgLogo_->setPixmap(DrawTonboLogo(imgLogo_->size(), devicePixelRatioF()));
  lblVersion_->setObjectName(QStringLiteral("lblVersion"));
  lblVersion_->setGeometry(16, 134, 190, 20);
  btnOk_->setObjectName(QStringLiteral("btnOk"));
  btnOk_->setGeometry(226, 130, 83, 28);
  btnOk_->setDefault(true);
  connect(btnOk_, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmVer::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LoadVersion();
  CenterOnScreen();
  btnOk_->setFocus();
}

void TfrmVer::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 128), 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(kFrame).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
}

// A missing or short history.txt keeps the text shown before.
void TfrmVer::LoadVersion() {
  QString line;
  if (ReadVersionLine(line)) lblVersion_->setText(line);
}

void TfrmVer::CenterOnScreen() {
  const QScreen* current = screen();
  if (!current) return;
  QRect frame = frameGeometry();
  frame.moveCenter(current->availableGeometry().center());
  move(frame.topLeft());
}

}  // namespace tonbo
