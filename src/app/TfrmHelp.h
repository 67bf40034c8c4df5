#pragma once
// The explanation dialog: the page of a command shown before it runs, with
// "実行(&O)" and "キャンセル(&C)" and the box that switches explanations off.
#include <QDialog>

#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace tonbo {

class TfrmHelp : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmHelp(QWidget* parent = nullptr);

  // Shows a local page; a missing page leaves the browser blank.
  void LoadPage(const std::string& diskPath);
  void SetOmitVisible(bool visible);
  bool OmitChecked() const;
  // Sets chkOmit without emitting omitToggled.
  void SetOmitChecked(bool checked);

 signals:
  // The user ticked or unticked "今後、解説を省略する".
  void omitToggled(bool checked);
  // The dialog has just been shown (result reset, btnOk focused).
  void shown();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CreateStrip();
  void webAnchorClicked(const QUrl& link);
  void lblHelpClick();

  QTextBrowser* web_;
  QCheckBox* chkOmit_ = nullptr;
  QLabel* lblHelp_ = nullptr;
  QPushButton* btnOk_ = nullptr;
  QPushButton* btnCancel_ = nullptr;
};

}  // namespace tonbo
