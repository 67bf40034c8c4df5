#pragma once
// The program's own window for a file the desktop could not open (no
// browser or editor installed): a help page, whose local links it follows,
// or a text file, read-only. Nothing the user asked to see stays unseen.
#include <QDialog>
#include <QString>

#include <string>

class QTextBrowser;

namespace tonbo {

class PageWindow : public QDialog {
 public:
  explicit PageWindow(QWidget* parent = nullptr);

  // A page (.htm, .html) or any other file shown as text; UTF-8 when it
  // reads as UTF-8, else code page 932.
  void LoadFile(const std::string& diskPath);
  void SetText(const QString& title, const QString& text);
  QString Text() const;

 private:
  void anchorClicked(const QUrl& link);
  QTextBrowser* view_;
};

// Shows a file in a PageWindow, modally through the dialog port; for files
// the desktop could not open.
void ShowFileHere(const std::string& diskPath, QWidget* parent);
// Shows a text in a PageWindow.
void ShowTextHere(const QString& title, const QString& text, QWidget* parent);

}  // namespace tonbo
