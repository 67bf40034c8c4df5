#include "windows/WidgetDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "windows/TextPrompt.h"
#include "windows/TfrmRecipeSteps.h"

namespace tonbo {
namespace {

int Box(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, caption, text, buttons, owner);
  box.setDefaultButton(defaultButton);
  return box.exec();
}

QString JoinFilters(const QStringList& filters) { return filters.join(QStringLiteral(";;")); }

}  // namespace

bool WidgetDialogs::AskYesNo(const QString& text, const QString& caption) {
  return Box(owner_, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
             QMessageBox::Yes) == QMessageBox::Yes;
}

Answer WidgetDialogs::AskYesNoCancel(const QString& text, const QString& caption) {
  int r = Box(owner_, QMessageBox::Question, caption, text,
              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void WidgetDialogs::ShowWarning(const QString& text, const QString& caption) {
  Box(owner_, QMessageBox::Warning, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void WidgetDialogs::ShowWarningDetails(const QString& text, const QString& details,
                                       const QString& caption) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, owner_);
  box.setDetailedText(details);
  // The details are the point of this box: open their area at once (the
  // box's own button for it is the one with the action role).
  for (QAbstractButton* button : box.buttons())
    if (box.buttonRole(button) == QMessageBox::ActionRole) button->click();
  box.exec();
}

void WidgetDialogs::ShowInfo(const QString& text, const QString& caption) {
  Box(owner_, QMessageBox::Information, caption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void WidgetDialogs::ShowMessage(const QString& text) {
  Box(owner_, QMessageBox::NoIcon, AppTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

void WidgetDialogs::ShowError(const QString& text) {
  Box(owner_, QMessageBox::Critical, AppTitle(), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool WidgetDialogs::InputQuery(const QString& title, const QString& prompt, QString& value) {
  TextPrompt dialog(title, prompt, value, owner_);
  if (dialog.exec() != QDialog::Accepted) return false;
  value = dialog.Text();
  return true;
}

QStringList WidgetDialogs::GetOpenFileNames(const FileDialogRequest& r) {
  QFileDialog dialog(owner_, r.caption, r.directory, JoinFilters(r.filters));
  dialog.setOption(QFileDialog::DontUseNativeDialog);  // Qt's own, in Japanese
  dialog.setFileMode(r.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (r.filterIndex >= 0 && r.filterIndex < r.filters.size())
    dialog.selectNameFilter(r.filters[r.filterIndex]);
  if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QString WidgetDialogs::GetSaveFileName(const FileDialogRequest& r) {
  QFileDialog dialog(owner_, r.caption, r.directory, JoinFilters(r.filters));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
  dialog.setDefaultSuffix(r.defaultSuffix);
  if (r.filterIndex >= 0 && r.filterIndex < r.filters.size())
    dialog.selectNameFilter(r.filters[r.filterIndex]);
  if (!r.fileName.isEmpty()) dialog.selectFile(r.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

QString WidgetDialogs::GetExistingDirectory(const QString& caption, const QString& directory) {
  return QFileDialog::getExistingDirectory(owner_, caption, directory);
}

int WidgetDialogs::RunModal(QDialog& dialog) { return dialog.exec(); }

bool WidgetDialogs::ChooseFont(QString& font) {
  QFont initial;
  initial.fromString(font);
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, owner_);
  if (ok) font = chosen.toString();
  return ok;
}

bool WidgetDialogs::ChooseSteps(const QString& caption, const QList<StepEntry>& entries,
                                StepRange& range) {
  TfrmRecipeSteps dialog(caption, entries, range, owner_);
  if (dialog.exec() != QDialog::Accepted || dialog.Range().Empty()) return false;
  range = dialog.Range();
  return true;
}

void InstallJapanese() {
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const char* name : {"qtbase_ja", "qtmultimedia_ja"}) {
    auto* translator = new QTranslator(qApp);
    if (translator->load(QString::fromLatin1(name), dir))
      QCoreApplication::installTranslator(translator);
    else
      delete translator;
  }
}

}  // namespace tonbo
