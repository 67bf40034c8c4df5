// The list dialogs: replace, select by condition and the name grid editor.
#include "app/TfrmMain.h"
#include "windows/TfrmFilter.h"
#include "windows/TfrmRenameIkkatu.h"
#include "windows/TfrmReplace.h"

namespace tonbo {

void TfrmMain::CreateFilterDialog() {
  frmFilter_ = new TfrmFilter(*this, this);
  commands_.Register(Command::actSelectWildcard, [this] { frmFilter_->Open(); });
}

void TfrmMain::CreateReplaceDialogs() {
  frmReplace_ = new TfrmReplace(*this, this);
  frmReplace_->SetExplanationsOn([this] { return Switch(MenuSwitch::mnuDescript); });
  frmRenameIkkatu_ = new TfrmRenameIkkatu(*this, this);
  commands_.Register(Command::mnuReplace,
                     [this] { frmReplace_->ShowPage(TfrmReplace::pagePlain); });
  commands_.Register(Command::mnuReplaceRE,
                     [this] { frmReplace_->ShowPage(TfrmReplace::pageRegExp); });
  commands_.Register(Command::mnuRenameIkkatu, [this] { frmRenameIkkatu_->Execute(); });
}

}  // namespace tonbo
