#include "app/TfrmSelect.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "windows/NameFont.h"

namespace tonbo {
namespace {
const char* const kMethods[] = {"上書きする", "新しければ上書きする", "適当に改名して書き込む",
                                "処理をスキップ"};
}

TfrmSelect::TfrmSelect(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinMaxButtonsHint),
      edtFilename_(new QLineEdit(this)),
      qMethod_(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("frmSelect"));
  setWindowTitle(QStringLiteral("「Tonbo」より質問"));
  resize(383, 211);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(4);  // everything fits the design's 383 x 211
  auto* info = new QLabel(QStringLiteral("書き込み先に同名ファイルがあります。"), this);
  info->setObjectName(QStringLiteral("lblInfo"));
  layout->addWidget(info);
  edtFilename_->setObjectName(QStringLiteral("edtFilename"));
  edtFilename_->setReadOnly(true);
  UseNameFont(edtFilename_);
  QPalette face = edtFilename_->palette();  // read-only: drawn in the button face
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  edtFilename_->setPalette(face);
  layout->addWidget(edtFilename_);
  auto* group = new QGroupBox(this);
  group->setObjectName(QStringLiteral("qMethod"));
  auto* radios = new QVBoxLayout(group);
  radios->setContentsMargins(8, 2, 8, 2);
  radios->setSpacing(0);
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(QString::fromUtf8(kMethods[i]), group);
    radio->setObjectName(QStringLiteral("qMethod%1").arg(i));
    qMethod_->addButton(radio, i);
    radios->addWidget(radio);
  }
  qMethod_->button(static_cast<int>(ConflictMethod::Number))->setChecked(true);
  connect(qMethod_, &QButtonGroup::idClicked, this,
          [this](int id) { answer_.method = static_cast<ConflictMethod>(id); });
  layout->addWidget(group);
  auto* buttons = new QHBoxLayout;
  auto addButton = [&](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  connect(addButton("btnOk", "実行(&O)"), &QPushButton::clicked, this,
          [this] { Finish(ConflictButton::Ok); });
  connect(addButton("btnOkAll", "以降全て(&A)"), &QPushButton::clicked, this,
          [this] { Finish(ConflictButton::OkAll); });
  connect(addButton("btnCancel", "中止(&C)"), &QPushButton::clicked, this,
          [this] { Finish(ConflictButton::Stop); });
  connect(addButton("btnHelp", "ヘルプ(&H)"), &QPushButton::clicked, this,
          &TfrmSelect::helpRequested);
  layout->addLayout(buttons);
}

void TfrmSelect::SetTarget(const QString& path) { edtFilename_->setText(path); }

void TfrmSelect::SetMethod(ConflictMethod method) {
  qMethod_->button(static_cast<int>(method))->setChecked(true);
}

void TfrmSelect::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Closing the dialog any other way than by its buttons counts as "実行".
  answer_.button = ConflictButton::Ok;
  answer_.method = static_cast<ConflictMethod>(qMethod_->checkedId());
  if (parentWidget()) move(parentWidget()->geometry().center() - rect().center());
}

void TfrmSelect::Finish(ConflictButton button) {
  answer_.button = button;
  accept();
}

}  // namespace tonbo
