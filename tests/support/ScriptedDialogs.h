#pragma once
// A dialog port for tests: questions take scripted answers in order, and
// every box shown is recorded so a test can check the texts.
#include <QString>
#include <QStringList>

#include <QDialog>

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "common/Dialogs.h"

namespace tonbo::test {

struct ShownBox {
  QString kind;  // "yesno", "yesnocancel", "warning", "info", "message", "error", "input", ...
  QString text;
  QString caption;
};

class ScriptedDialogs : public DialogPort {
 public:
  ScriptedDialogs() { previous_ = SetDialogs(this); }
  ~ScriptedDialogs() override { SetDialogs(previous_); }

  std::deque<Answer> answers;                   // for AskYesNo / AskYesNoCancel
  std::deque<std::pair<bool, QString>> inputs;  // for InputQuery: {false, _} = Cancel
  std::deque<QStringList> openFiles;
  std::deque<QString> saveFiles;
  std::deque<QString> folders;
  std::deque<QString> fonts;                        // for ChooseFont: an empty text = Cancel
  std::deque<std::optional<StepRange>> stepRanges;  // for ChooseSteps: nullopt = Cancel
  std::vector<std::pair<QList<StepEntry>, StepRange>> stepOffers;  // entries and preset
  std::vector<ShownBox> shown;
  std::vector<FileDialogRequest> openRequests;  // what each open dialog was asked
  std::vector<FileDialogRequest> saveRequests;  // what each save dialog was asked
  QStringList details;                          // the scrollable part of each warning with details
  // Plays the user's part in the program's own dialogs while they are shown
  // (clicks their buttons); a dialog left open counts as cancelled.
  std::function<void(QDialog&)> onModal;
  std::function<void()> onWarning;  // looks at the windows while a warning is up

  QStringList Texts(const QString& kind) const {
    QStringList out;
    for (const auto& box : shown)
      if (box.kind == kind) out << box.text;
    return out;
  }

  bool AskYesNo(const QString& text, const QString& caption) override {
    shown.push_back({"yesno", text, caption});
    return Next(answers, Answer::No) == Answer::Yes;
  }
  Answer AskYesNoCancel(const QString& text, const QString& caption) override {
    shown.push_back({"yesnocancel", text, caption});
    return Next(answers, Answer::Cancel);
  }
  void ShowWarning(const QString& text, const QString& caption) override {
    shown.push_back({"warning", text, caption});
    if (onWarning) onWarning();
  }
  void ShowWarningDetails(const QString& text, const QString& details,
                          const QString& caption) override {
    shown.push_back({"warning", text, caption});
    this->details << details;
  }
  void ShowInfo(const QString& text, const QString& caption) override {
    shown.push_back({"info", text, caption});
  }
  void ShowMessage(const QString& text) override { shown.push_back({"message", text, AppTitle()}); }
  void ShowError(const QString& text) override { shown.push_back({"error", text, AppTitle()}); }
  bool InputQuery(const QString& title, const QString& prompt, QString& value) override {
    shown.push_back({"input", prompt, title});
    auto [ok, text] = Next(inputs, std::pair<bool, QString>(false, QString()));
    if (ok) value = text;
    return ok;
  }
  QStringList GetOpenFileNames(const FileDialogRequest& r) override {
    openRequests.push_back(r);
    shown.push_back({"open", r.filters.join(";;"), r.caption});
    return Next(openFiles, QStringList());
  }
  QString GetSaveFileName(const FileDialogRequest& r) override {
    saveRequests.push_back(r);
    shown.push_back({"save", r.filters.join(";;"), r.caption});
    return Next(saveFiles, QString());
  }
  int RunModal(QDialog& dialog) override {
    shown.push_back({"modal", dialog.objectName(), dialog.windowTitle()});
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (onModal) onModal(dialog);
    const int result = dialog.result();
    dialog.hide();
    return result;
  }
  bool ChooseFont(QString& font) override {
    shown.push_back({"font", font, QString()});
    const QString chosen = Next(fonts, QString());
    if (!chosen.isEmpty()) font = chosen;
    return !chosen.isEmpty();
  }
  bool ChooseSteps(const QString& caption, const QList<StepEntry>& entries,
                   StepRange& range) override {
    shown.push_back({"steps", QString(), caption});
    stepOffers.emplace_back(entries, range);
    const std::optional<StepRange> chosen = Next(stepRanges, std::optional<StepRange>());
    if (chosen) range = *chosen;
    return chosen && !chosen->Empty();
  }
  QString GetExistingDirectory(const QString& caption, const QString&) override {
    shown.push_back({"folder", QString(), caption});
    return Next(folders, QString());
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& queue, T fallback) {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
  }
  DialogPort* previous_ = nullptr;
};

}  // namespace tonbo::test
