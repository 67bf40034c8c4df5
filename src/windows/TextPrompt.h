#pragma once
#include <QDialog>

class QLineEdit;

namespace tonbo {

// The text prompt: a title, one prompt line, an edit field with the
// pre-filled text, OK and Cancel.
class TextPrompt : public QDialog {
  Q_OBJECT
 public:
  TextPrompt(const QString& title, const QString& prompt, const QString& text,
             QWidget* parent = nullptr);
  QString Text() const;

 private:
  QLineEdit* edit_;
};

}  // namespace tonbo
