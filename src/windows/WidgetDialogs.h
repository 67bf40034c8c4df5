#pragma once
#include <QPointer>
#include <QWidget>

#include "common/Dialogs.h"

namespace tonbo {

// The real modal boxes and dialogs, owned by the application window.
class WidgetDialogs : public DialogPort {
 public:
  explicit WidgetDialogs(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  bool AskYesNo(const QString& text, const QString& caption) override;
  Answer AskYesNoCancel(const QString& text, const QString& caption) override;
  void ShowWarning(const QString& text, const QString& caption) override;
  void ShowWarningDetails(const QString& text, const QString& details,
                          const QString& caption) override;
  void ShowInfo(const QString& text, const QString& caption) override;
  void ShowMessage(const QString& text) override;
  void ShowError(const QString& text) override;
  bool InputQuery(const QString& title, const QString& prompt, QString& value) override;
  QStringList GetOpenFileNames(const FileDialogRequest& request) override;
  QString GetSaveFileName(const FileDialogRequest& request) override;
  QString GetExistingDirectory(const QString& caption, const QString& directory) override;
  int RunModal(QDialog& dialog) override;
  bool ChooseFont(QString& font) override;
  bool ChooseSteps(const QString& caption, const QList<StepEntry>& entries,
                   StepRange& range) override;

 private:
  QPointer<QWidget> owner_;
};

// Qt's own texts (Yes, No, Cancel, the file dialogs) in Japanese whatever
// LANG says, and the Japanese locale for type names and number formats.
void InstallJapanese();

}  // namespace tonbo
