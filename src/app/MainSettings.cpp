// The main window's settings: the six switches of "設定(&S)" and the
// window placement, read at creation and written at destruction.
#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QToolBar>

#include "app/TfrmMain.h"
#include "common/Dialogs.h"

namespace tonbo {
namespace {

struct SwitchKey {
  const char* menu;
  const char* key;
};

// Every switch defaults to on.
const SwitchKey kSwitches[] = {
    {"mnuSound", "sound"},     {"mnuDescript", "always_help"},
    {"mnuPicture", "picture"}, {"mnuExtNotChange", "ext_not_change"},
    {"mnuToolBar", "toolbar"}, {"mnuExcelSort", "mnuExcelSort"},
};

constexpr int kStateNormal = 0;
constexpr int kStateMinimized = 1;
constexpr int kStateMaximized = 2;
constexpr int kStateAbsent = -1;

}  // namespace

bool TfrmMain::Switch(const char* name) const {
  QAction* action = Act(QString::fromLatin1(name));
  return action && action->isChecked();
}

void TfrmMain::SetSwitch(const char* name, bool on) {
  if (QAction* action = Act(QString::fromLatin1(name))) action->setChecked(on);
}

bool TfrmMain::ExcelSort() const { return Switch("mnuExcelSort"); }

void TfrmMain::SetExcelSort(bool on) { SetSwitch("mnuExcelSort", on); }

void TfrmMain::RegisterSwitches() {
  // These only flip their check marks; the commands read them when they run.
  for (const char* name : {"mnuDescript", "mnuSound", "mnuExcelSort", "mnuExtNotChange"})
    commands_.Register(QString::fromLatin1(name), [] {});
  commands_.Register(QStringLiteral("mnuToolBar"),
                     [this] { toolBar_->setVisible(Switch("mnuToolBar")); });
  commands_.Register(QStringLiteral("mnuPicture"), [this] { ApplyPicture(); });
}

void TfrmMain::ApplyPicture() {
  QApplication::setAttribute(Qt::AA_DontShowIconsInMenus, !Switch("mnuPicture"));
}

void TfrmMain::LoadPlacement(QWidget& window, const char* section) {
  const QRect now = window.geometry();
  const int top = ini_->ReadInteger(section, "top", window.y());
  const int left = ini_->ReadInteger(section, "left", window.x());
  const int height = ini_->ReadInteger(section, "height", now.height());
  const int width = ini_->ReadInteger(section, "width", now.width());
  window.move(left, top);
  window.resize(std::max(1, width), std::max(1, height));
  const int state = ini_->ReadInteger(section, "state", kStateAbsent);
  if (state == kStateMinimized) window.setWindowState(Qt::WindowMinimized);
  if (state == kStateMaximized) window.setWindowState(Qt::WindowMaximized);
  if (state == kStateNormal) window.setWindowState(Qt::WindowNoState);
}

void TfrmMain::SavePlacement(QWidget& window, const char* section) {
  const Qt::WindowStates states = window.windowState();
  const int state = states & Qt::WindowMinimized   ? kStateMinimized
                    : states & Qt::WindowMaximized ? kStateMaximized
                                                   : kStateNormal;
  // The normal bounds, also while maximized or minimized.
  const QRect normal = state == kStateNormal ? window.geometry() : window.normalGeometry();
  const QPoint pos = state == kStateNormal ? window.pos() : normal.topLeft();
  ini_->WriteInteger(section, "state", state);
  ini_->WriteInteger(section, "top", pos.y());
  ini_->WriteInteger(section, "left", pos.x());
  ini_->WriteInteger(section, "height", normal.height());
  ini_->WriteInteger(section, "width", normal.width());
}

void TfrmMain::LoadSettings() {
  LoadPlacement(*this, "frmMain");
  // A window outside the work area comes back at the top left.
  const QRect area = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
  const QRect placed(pos(), size());
  if (!(placed.left() > area.left() && placed.top() > area.top() &&
        placed.left() + placed.width() < area.width() &&
        placed.top() + placed.height() < area.height()))
    move(0, 0);
  for (const SwitchKey& s : kSwitches) SetSwitch(s.menu, ini_->ReadBool("setting", s.key, true));
  toolBar_->setVisible(Switch("mnuToolBar"));
  ApplyPicture();
}

void TfrmMain::WarnUnreadableSettings() {
  if (!ini_->TakeUnreadableWarning()) return;
  ShowWarning(QStringLiteral("設定ファイルを読み込めませんでした。\r\n") +
              QString::fromLocal8Bit(ini_->FileName()) +
              QStringLiteral("\r\nこのファイルは書き換えず、設定の変更は保存しません。"));
}

void TfrmMain::SaveSettings() {
  ini_->SetDeferred(true);
  SavePlacement(*this, "frmMain");
  for (const SwitchKey& s : kSwitches) ini_->WriteBool("setting", s.key, Switch(s.menu));
  ini_->SetDeferred(false);
}

}  // namespace tonbo
