#pragma once
// Every modal question, message box, text prompt and file or folder dialog
// goes through this one port. The windows install the real dialogs; tests
// install scripted answers, so whole commands run without a person.
#include <QString>
#include <QStringList>

class QDialog;

namespace tonbo {

enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
  QString caption;
  QString directory;
  QString fileName;
  QStringList filters;  // "テキスト (*.txt)" style entries
  int filterIndex = 0;
  QString defaultSuffix;
  bool multiple = true;          // the open dialog takes several files
  bool confirmOverwrite = true;  // the save dialog asks before replacing a file
};

// One history entry offered for a recipe: its label and its steps, each as
// the recipe file writes the line.
struct StepEntry {
  QString label;
  QStringList lines;
};

// The entries first..last of those offered, one unbroken run; none when
// last < first.
struct StepRange {
  int first = 0;
  int last = -1;
  bool Empty() const { return last < first; }
  bool operator==(const StepRange&) const = default;
};

class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // Captions: an empty caption means the application title "Tonbo".
  virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
  virtual Answer AskYesNoCancel(const QString& text, const QString& caption) = 0;
  virtual void ShowWarning(const QString& text, const QString& caption) = 0;
  // A warning with a short text and details that may run long (a list of
  // names): the real box shows the details in a scrollable area.
  virtual void ShowWarningDetails(const QString& text, const QString& details,
                                  const QString& caption) {
    ShowWarning(text + QStringLiteral("\r\n") + details, caption);
  }
  virtual void ShowInfo(const QString& text, const QString& caption) = 0;
  // A plain box with the application title (result counts).
  virtual void ShowMessage(const QString& text) = 0;
  // The standard error box for errors that end a command.
  virtual void ShowError(const QString& text) = 0;
  // Text prompt: true on OK with value edited; value untouched on Cancel.
  virtual bool InputQuery(const QString& title, const QString& prompt, QString& value) = 0;
  virtual QStringList GetOpenFileNames(const FileDialogRequest& request) = 0;
  virtual QString GetSaveFileName(const FileDialogRequest& request) = 0;
  virtual QString GetExistingDirectory(const QString& caption, const QString& directory) = 0;
  // Shows one of the program's own dialogs modally and returns its result
  // (QDialog::Accepted or Rejected); the caller reads the dialog's state afterwards.
  virtual int RunModal(QDialog& dialog) = 0;
  // The font dialog. `font` holds a font description (QFont::toString) and
  // takes the chosen one; true on OK.
  virtual bool ChooseFont(QString& font) { return false; }
  // The entries whose steps go into a recipe, `range` preset and taking the
  // chosen run; true on OK with at least one entry.
  virtual bool ChooseSteps(const QString& caption, const QList<StepEntry>& entries,
                           StepRange& range) {
    return false;
  }
};

// The installed port (the real dialogs once a window exists).
DialogPort& Dialogs();
// Installs a port; returns the previous one. Null restores the default.
DialogPort* SetDialogs(DialogPort* port);

// The application title, caption of every box.
QString AppTitle();

// The system's helpers, spelled as the commands use them.
bool AskYesNo(const QString& text, const QString& caption = QString());
Answer AskYesNoCancel(const QString& text, const QString& caption = QString());
void ShowWarning(const QString& text, const QString& caption = QString());
void ShowWarningDetails(const QString& text, const QString& details,
                        const QString& caption = QString());
void ShowInfo(const QString& text, const QString& caption = QString());
void ShowMessage(const QString& text);
void ShowError(const QString& text);
// The text prompt: the edited text on OK, the pre-filled text on Cancel.
QString InputBox(const QString& title, const QString& prompt, const QString& preset);

}  // namespace tonbo
