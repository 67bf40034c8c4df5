// The explain-before-executing guard, the manual, the version dialog and
// the effect sounds.
#include <QCoreApplication>

#include "app/TfrmHelp.h"
#include "app/TfrmMain.h"
#include "app/TfrmVer.h"
#include "common/Dialogs.h"
#include "common/Folders.h"
#include "core/ExplanationPages.h"
#include "platform/Launcher.h"
#include "platform/Shell.h"
#include "windows/PageWindow.h"

namespace tonbo {

void TfrmMain::CreateGuardDialogs() {
  frmVer_ = new TfrmVer(this);
  frmHelp_ = new TfrmHelp(this);
  // Asking to omit one explanation switches all of them off, and back on.
  connect(frmHelp_, &TfrmHelp::omitToggled, this,
          [this](bool omit) { SetSwitch(MenuSwitch::mnuDescript, !omit); });
  connect(frmHelp_, &TfrmHelp::shown, this, [this] { PlayEffectSound(0); });
  commands_.Register(Command::mnuHelp, [this] { mnuHelpClick(); });
  commands_.Register(Command::mnuVersion, [this] { mnuVersionClick(); });
}

bool TfrmMain::ConfirmAction(const QString& key) {
  if (!Switch(MenuSwitch::mnuDescript) || !frmHelp_) return true;
  const std::string k = key.toStdString();
  if (ini_->ReadBool("help", k, false)) return true;
  frmHelp_->SetOmitChecked(false);
  const bool result = ShowExplanation(key, true);
  ini_->WriteBool("help", k, frmHelp_->OmitChecked());
  WarnUnreadableSettings();
  return result;
}

bool TfrmMain::ShowExplanation(const QString& key, bool showOmit) {
  if (!shown_) return true;
  frmHelp_->SetOmitVisible(showOmit);
  frmHelp_->SetOmitChecked(!Switch(MenuSwitch::mnuDescript));
  frmHelp_->LoadPage(ExplanationPage(ProgramDirDisk(), key.toStdString()));
  return Dialogs().RunModal(*frmHelp_) == QDialog::Accepted;
}

void TfrmMain::ProcessEvents() { QCoreApplication::processEvents(); }

void TfrmMain::mnuHelpClick() {
  const std::string manual = ProgramDirDisk() + "doc/index.htm";
  if (!platform::OpenDiskPath(manual)) ShowFileHere(manual, this);
}

void TfrmMain::mnuVersionClick() {
  PlayEffectSound(0);
  Dialogs().RunModal(*frmVer_);
}

void TfrmMain::SetSoundPlayer(EffectSoundGate::Player player, EffectSoundGate::Clock clock) {
  soundGate_ = std::make_unique<EffectSoundGate>(std::move(player), std::move(clock));
}

void TfrmMain::PlayEffectSound(int kind) {
  soundGate_->Request(Switch(MenuSwitch::mnuSound), EffectSoundFile(ProgramDirDisk(), kind));
}

}  // namespace tonbo
