// The main window's settings: the switches kept in the settings file (the
// six of "設定(&S)"), the window placement and the list's columns, read at creation and written
// at destruction.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QToolBar>

#include <string>
#include <vector>

#include "app/TfrmMain.h"
#include "common/Dialogs.h"
#include "core/JournalKeep.h"

namespace tonbo {
namespace {

MenuSwitch SwitchAt(size_t index) { return static_cast<MenuSwitch>(index); }

constexpr int kStateNormal = 0;
constexpr int kStateMinimized = 1;
constexpr int kStateMaximized = 2;
constexpr int kStateAbsent = -1;

// The list's columns in the settings file, as the window placement is:
// [listFile] width0..width5 (pixels) and order (the columns' numbers from
// left to right, "0,1,2,3,4,5,6"), and taken=1 while "撮影日時" is shown
// (off by default: it reads the files). Values that do not fit are passed
// over; an order written before a column existed gets it at its end.
constexpr char kListSection[] = "listFile";
// A width outside these (a hand-edited file) would hide a column or push the
// others off the screen.
constexpr int kMinColumnWidth = 8;
constexpr int kMaxColumnWidth = 4000;

std::string WidthKey(int column) { return "width" + std::to_string(column); }

// The columns from left to right, or empty when the text is not an order of
// every column exactly once.
std::vector<int> ParseOrder(const std::string& text, int count) {
  std::vector<int> order;
  std::vector<bool> seen(static_cast<size_t>(count), false);
  for (const QString& part : QString::fromStdString(text).split(QLatin1Char(','))) {
    bool ok = false;
    const int column = part.trimmed().toInt(&ok);
    if (!ok || column < 0 || column >= count || seen[static_cast<size_t>(column)]) return {};
    seen[static_cast<size_t>(column)] = true;
    order.push_back(column);
  }
  for (int column = static_cast<int>(order.size()); column < count; ++column) {
    if (seen[static_cast<size_t>(column)]) return {};  // not an order of the first columns
    order.push_back(column);
  }
  return order;
}

}  // namespace

bool TfrmMain::Switch(MenuSwitch menuSwitch) const {
  const QAction* action = switches_[static_cast<size_t>(menuSwitch)];
  return action && action->isChecked();
}

void TfrmMain::SetSwitch(MenuSwitch menuSwitch, bool on) {
  if (QAction* action = switches_[static_cast<size_t>(menuSwitch)]) action->setChecked(on);
}

void TfrmMain::OnSwitched(MenuSwitch menuSwitch, std::function<void()> handler) {
  connect(switches_[static_cast<size_t>(menuSwitch)], &QAction::triggered, this,
          [handler = std::move(handler)] { RunGuarded(handler); });
}

bool TfrmMain::ExcelSort() const { return Switch(MenuSwitch::mnuExcelSort); }

void TfrmMain::SetExcelSort(bool on) { SetSwitch(MenuSwitch::mnuExcelSort, on); }

void TfrmMain::RegisterSwitches() {
  // The others only flip their check marks; the commands read them when they run.
  OnSwitched(MenuSwitch::mnuToolBar,
             [this] { toolBar_->setVisible(Switch(MenuSwitch::mnuToolBar)); });
  OnSwitched(MenuSwitch::mnuPicture, [this] { ApplyPicture(); });
  OnSwitched(MenuSwitch::mnuColTaken, [this] { ApplyTakenColumn(); });
}

void TfrmMain::ApplyPicture() {
  QApplication::setAttribute(Qt::AA_DontShowIconsInMenus, !Switch(MenuSwitch::mnuPicture));
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

void TfrmMain::LoadColumns() {
  QHeaderView* header = listFile_->horizontalHeader();
  const int count = header->count();
  for (int c = 0; c < count; ++c) {
    const int width = ini_->ReadInteger(kListSection, WidthKey(c), -1);
    if (width >= kMinColumnWidth && width <= kMaxColumnWidth) header->resizeSection(c, width);
  }
  const std::vector<int> order = ParseOrder(ini_->ReadString(kListSection, "order", ""), count);
  for (int visual = 0; visual < static_cast<int>(order.size()); ++visual)
    header->moveSection(header->visualIndex(order[static_cast<size_t>(visual)]), visual);
  SetSwitch(MenuSwitch::mnuColTaken, ini_->ReadBool(kListSection, "taken", false));
  ApplyTakenColumn();
}

void TfrmMain::SaveColumns() {
  const QHeaderView* header = listFile_->horizontalHeader();
  QStringList order;
  for (int c = 0; c < header->count(); ++c) {
    ini_->WriteInteger(kListSection, WidthKey(c), header->sectionSize(c));
    order << QString::number(header->logicalIndex(c));
  }
  ini_->WriteString(kListSection, "order", order.join(QLatin1Char(',')).toStdString());
  ini_->WriteBool(kListSection, "taken", Switch(MenuSwitch::mnuColTaken));
}

void TfrmMain::LoadSettings() {
  LoadPlacement(*this, "frmMain");
  LoadColumns();
  // A window outside the work area comes back at the top left.
  const QRect area = (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry();
  const QRect placed(pos(), size());
  if (!(placed.left() > area.left() && placed.top() > area.top() &&
        placed.left() + placed.width() < area.width() &&
        placed.top() + placed.height() < area.height()))
    move(0, 0);
  // Every kept switch defaults to on.
  for (size_t i = 0; i < kSwitchCount; ++i)
    if (const char* key = SwitchKey(SwitchAt(i)))
      SetSwitch(SwitchAt(i), ini_->ReadBool("setting", key, true));
  toolBar_->setVisible(Switch(MenuSwitch::mnuToolBar));
  ApplyPicture();
}

void TfrmMain::WarnUnreadableSettings() {
  if (!ini_->TakeUnreadableWarning()) return;
  ShowWarning(QStringLiteral("設定ファイルを読み込めませんでした。\r\n") +
              QString::fromLocal8Bit(ini_->FileName()) + QStringLiteral("\r\n") +
              QString::fromStdString(ini_->UnreadableReason()) +
              QStringLiteral("\r\nこのファイルは書き換えず、設定の変更は保存しません。"));
}

void TfrmMain::SaveSettings() {
  ini_->SetDeferred(true);
  SavePlacement(*this, "frmMain");
  SaveColumns();
  for (size_t i = 0; i < kSwitchCount; ++i)
    if (const char* key = SwitchKey(SwitchAt(i)))
      ini_->WriteBool("setting", key, Switch(SwitchAt(i)));
  // Kept here so a person finds them; the journal reads the file itself.
  WriteJournalKeep(*ini_, ReadJournalKeep(*ini_));
  ini_->SetDeferred(false);
}

}  // namespace tonbo
