#include "windows/TextPrompt.h"

#include "windows/NameFont.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tonbo {

TextPrompt::TextPrompt(const QString& title, const QString& prompt, const QString& text,
                       QWidget* parent)
    : QDialog(parent), edit_(new QLineEdit(text, this)) {
  setWindowTitle(title);
  setObjectName(QStringLiteral("TextPrompt"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(prompt, this));
  edit_->setObjectName(QStringLiteral("edtValue"));
  UseNameFont(edit_);
  edit_->selectAll();
  edit_->setMinimumWidth(320);
  layout->addWidget(edit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

QString TextPrompt::Text() const { return edit_->text(); }

}  // namespace tonbo
