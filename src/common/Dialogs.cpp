#include "common/Dialogs.h"

#include <cstdio>

namespace tonbo {
namespace {

// Without windows (before the main window exists) questions get their safe
// answer and messages go to standard error, so nothing blocks or is lost.
class ConsoleDialogs : public DialogPort {
 public:
  bool AskYesNo(const QString& text, const QString&) override {
    Print(text);
    return false;
  }
  Answer AskYesNoCancel(const QString& text, const QString&) override {
    Print(text);
    return Answer::Cancel;
  }
  void ShowWarning(const QString& text, const QString&) override { Print(text); }
  void ShowInfo(const QString& text, const QString&) override { Print(text); }
  void ShowMessage(const QString& text) override { Print(text); }
  void ShowError(const QString& text) override { Print(text); }
  bool InputQuery(const QString&, const QString&, QString&) override { return false; }
  QStringList GetOpenFileNames(const FileDialogRequest&) override { return {}; }
  QString GetSaveFileName(const FileDialogRequest&) override { return {}; }
  QString GetExistingDirectory(const QString&, const QString&) override { return {}; }
  int RunModal(QDialog&) override { return 0; }

 private:
  static void Print(const QString& text) { std::fprintf(stderr, "%s\n", qUtf8Printable(text)); }
};

ConsoleDialogs g_console;
DialogPort* g_port = &g_console;

QString Caption(const QString& caption) { return caption.isEmpty() ? AppTitle() : caption; }

}  // namespace

DialogPort& Dialogs() { return *g_port; }

DialogPort* SetDialogs(DialogPort* port) {
  DialogPort* old = g_port;
  g_port = port ? port : &g_console;
  return old;
}

QString AppTitle() { return QStringLiteral("Tonbo"); }

bool AskYesNo(const QString& text, const QString& caption) {
  return Dialogs().AskYesNo(text, Caption(caption));
}
Answer AskYesNoCancel(const QString& text, const QString& caption) {
  return Dialogs().AskYesNoCancel(text, Caption(caption));
}
void ShowWarning(const QString& text, const QString& caption) {
  Dialogs().ShowWarning(text, Caption(caption));
}
void ShowWarningDetails(const QString& text, const QString& details, const QString& caption) {
  Dialogs().ShowWarningDetails(text, details, Caption(caption));
}
void ShowInfo(const QString& text, const QString& caption) {
  Dialogs().ShowInfo(text, Caption(caption));
}
void ShowMessage(const QString& text) { Dialogs().ShowMessage(text); }
void ShowError(const QString& text) { Dialogs().ShowError(text); }

QString InputBox(const QString& title, const QString& prompt, const QString& preset) {
  QString value = preset;
  return Dialogs().InputQuery(title, prompt, value) ? value : preset;
}

}  // namespace tonbo
