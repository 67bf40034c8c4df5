#pragma once
// The version dialog: the logo in a dotted frame, the version text and OK.
#include <QDialog>

class QLabel;
class QPushButton;

namespace tonbo {

class TfrmVer : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmVer(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void LoadVersion();
  void CenterOnScreen();

  QLabel* imgLogo_;
  QLabel* lblVersion_;
  QPushButton* btnOk_;
};

}  // namespace tonbo
