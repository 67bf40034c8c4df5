// The preview renamer as the main window offers it: the dialog, the command
// "ファイルをプレビューしながら名前を変更" and the play list switch.
#include <QTableView>

#include "app/TfrmMain.h"
#include "windows/TfrmInputName.h"

namespace tonbo {
namespace {

// The main window as the preview dialog sees it.
class MainPreviewHost : public PreviewHost {
 public:
  explicit MainPreviewHost(TfrmMain& main) : main_(main) {}

  TCsvDb& Table() override { return main_.Table(); }
  int ItemCount() const override { return main_.List()->model()->rowCount(); }
  int SelectedIndex() const override { return main_.FirstSelectedRow(); }
  void SetSelectedIndex(int item) override {
    if (item < 0) {
      main_.SelectRows({});
      return;
    }
    main_.SelectRows({item});
    main_.List()->scrollTo(main_.List()->model()->index(item, 0));
  }
  void ItemChanged(int item) override { main_.RefreshItem(item); }
  void NameTyped(int row, const std::string& sjisBefore) override {
    main_.NoteTypedName(row, sjisBefore);
  }
  bool ExtNotChange() const override { return main_.ExtNotChange(); }
  bool PlayListChecked() const override { return main_.Switch(MenuSwitch::mnuPlayList); }
  void SetPlayListChecked(bool on) override { main_.SetSwitch(MenuSwitch::mnuPlayList, on); }
  void PlayEffectSound(int kind) override { main_.PlayEffectSound(kind); }
  bool ShowExplanation(const QString& key, bool showOmit) override {
    return main_.ShowExplanation(key, showOmit);
  }

 private:
  TfrmMain& main_;
};

}  // namespace

void TfrmMain::CreatePreviewDialog() {
  previewHost_ = std::make_unique<MainPreviewHost>(*this);
  frmInputName_ = new TfrmInputName(*previewHost_, this);
  commands_.Register(Command::actRenameOne, [this] { frmInputName_->actRenameOneExecute(); });
  // The menu item has already flipped its check mark.
  OnSwitched(MenuSwitch::mnuPlayList, [this] { frmInputName_->PlayListSwitched(); });
}

void TfrmMain::RefreshItem(int row) { model_->RowChanged(row); }

}  // namespace tonbo
