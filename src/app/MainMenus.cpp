// The main window's actions, menus, context menu and tool bar, as tables.
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/TfrmMain.h"

namespace tonbo {

// A menu entry: a separator, a command's own action placed as it is, a
// menu item of its own that runs a command, or a switch's check item.
struct MenuRow {
  enum Kind { Separator, UseAction, OwnItem, SwitchItem } kind;
  const char* name;  // an own item's object name; nullptr: the command's name
  const char* caption;
  Command command;
  MenuSwitch menuSwitch;
  const char* shortcut;
};

namespace {

struct ActionRow {
  Command command;
  const char* category;
  const char* caption;
  const char* shortcut;
};

const ActionRow kActions[] = {
    {Command::actClear, "ファイル", "初期化", ""},
    {Command::actOpen, "ファイル", "ファイルを追加", ""},
    {Command::actExtract, "ファイル", "選択ファイルをリストから除外", ""},
    {Command::actBackup, "機能", "選択されたファイルをバックアップ", ""},
    {Command::actNameReset, "名前変更", "名前を元に戻す(&R)", ""},
    {Command::actSelectAll, "選択", "全て選択", "Ctrl+A"},
    {Command::actSelectNone, "選択", "全ての選択を解除", ""},
    {Command::actSelectReverse, "選択", "選択の反転", ""},
    {Command::actSelectWildcard, "選択", "条件から選択", "Ctrl+F"},
    {Command::actExecute, "機能", "関連付けで開く", "Ctrl+R"},
    {Command::actExplorer, "機能", "エクスプローラーでフォルダを開く", "Ctrl+E"},
    {Command::actRenameReal, "機能", "実際に名前変更を反映させる", "F5"},
    {Command::actDos, "機能", "DOS窓を開く", "Ctrl+D"},
    {Command::actOptionRename, "設定", "名前変更規則の設定", ""},
    {Command::actClipboard, "機能", "クリップボードに名前をコピー", "Ctrl+C"},
    {Command::actRenameOne, "名前変更", "ファイルをプレビューしながら名前を変更", ""},
    {Command::actMemoOpen, "機能", "メモ帳で開く", "Ctrl+T"},
    {Command::actMakeShortcut, "機能", "デスクトップにショートカットの作成", ""},
    {Command::actClipboardNoPath, "機能", "クリップボードに名前(パスなし)をコピー", ""},
};

constexpr MenuRow Sep{MenuRow::Separator, nullptr, nullptr, Command{}, MenuSwitch{}, ""};
constexpr MenuRow UseAct(Command command) {
  return {MenuRow::UseAction, nullptr, nullptr, command, MenuSwitch{}, ""};
}
constexpr MenuRow Item(Command command, const char* caption, const char* shortcut = "") {
  return {MenuRow::OwnItem, nullptr, caption, command, MenuSwitch{}, shortcut};
}
// An item with a name of its own that runs a command under another caption.
constexpr MenuRow Named(const char* name, const char* caption, Command command,
                        const char* shortcut = "") {
  return {MenuRow::OwnItem, name, caption, command, MenuSwitch{}, shortcut};
}
constexpr MenuRow Check(MenuSwitch menuSwitch, const char* caption) {
  return {MenuRow::SwitchItem, nullptr, caption, Command{}, menuSwitch, ""};
}

const MenuRow kListMenu[] = {
    Named("mnuNew", "初期化", Command::actClear),
    Named("mnuAddFile", "ファイルを追加", Command::actOpen),
    Item(Command::mnuAddSameDir, "選択ファイルと同じフォルダにあるファイルを追加", "F4"),
    Item(Command::mnuAddSameDirEx, "選択ファイルと同じフォルダにあるファイルとフォルダを追加",
         "Shift+F4"),
    Sep,
    Item(Command::mnuLoadList, "リストを読込"),
    Item(Command::mnuSaveList, "リストを保存"),
    Item(Command::mnuMakeBatch, "変換リストからバッチファイルを生成"),
    Item(Command::mnuMakeScript, "シェルスクリプトを生成"),
    Sep,
    Item(Command::mnuClose, "閉じる", "Alt+F4"),
};

const MenuRow kEditMenu[] = {
    Item(Command::mnuUndo, "元に戻す(&Undo)", "Ctrl+Z"),
    Item(Command::mnuRedo, "やり直す(&Redo)", "Ctrl+Y"),
    Sep,
    UseAct(Command::actSelectAll),
    UseAct(Command::actSelectNone),
    UseAct(Command::actSelectReverse),
    Named("mnuSelectWildcard", "条件で選択", Command::actSelectWildcard, "Ctrl+F"),
    Item(Command::mnuSelectClashes, "衝突する行を選択"),
    Sep,
    UseAct(Command::actRenameReal),
    Item(Command::mnuUndoRename, "実行した名前変更を元に戻す"),
    Item(Command::mnuRunHistory, "名前変更の履歴…"),
    Named("U1", "名前をオリジナルの状態に戻す(&U)", Command::actNameReset),
    Sep,
    UseAct(Command::actExtract),
    UseAct(Command::actBackup),
    Item(Command::mnuDeleteFile, "選択されたファイルを削除", "Del"),
};

const MenuRow kRenameMenu[] = {
    UseAct(Command::actRenameOne),
    Sep,
    Item(Command::mnuRenameSimple, "指定文字列に名前を変更"),
    Item(Command::mnuReplace, "ファイル名の一括置換", "Ctrl+H"),
    Item(Command::mnuReplaceRE, "正規表現置換"),
    Sep,
    Item(Command::mnuRenameDate, "名前に日付をふる"),
    Item(Command::mnuRenban, "名前に連番をふる"),
    Item(Command::mnuRenameRandom, "ランダムに名前変更"),
    Item(Command::mnuRenameFromTags, "タグから名前を付ける…"),
    Sep,
    Named("N53", "ファイル名一括変換フォーム...", Command::mnuRenameIkkatu),
    Sep,
    Named("mnuRenameCustomize", "名前変更のカスタマイズ", Command::actOptionRename),
};

const MenuRow kCombineMenu[] = {
    Item(Command::mnuRenbanAndStr, "[連番]＋指定文字列"),
    Item(Command::mnuRenbanAndStr2, "指定文字列＋[連番]"),
    Item(Command::mnuRenbanAndOldName, "[連番]＋(ファイル名)"),
    Sep,
    Item(Command::mnuFNameAddFoot, "(ファイル名)＋指定文字列"),
    Item(Command::mnuFNameAddHead, "指定文字列＋(ファイル名)｜＝前方に文字を挿入"),
    Item(Command::mnuRenbanAndStr3, "指定文字列＋[連番]＋(ファイル名)"),
};

const MenuRow kFormatMenu[] = {
    Item(Command::mnuRenameLower, "名前を小文字に揃える"),
    Item(Command::mnuRenameUpper, "名前を大文字に揃える"),
    Sep,
    Item(Command::mnuRenameHankakuAnk, "名前の英数記号のみを半角に揃える"),
    Item(Command::mnuRenameHankaku, "名前を半角に揃える"),
    Item(Command::mnuRenameZenkaku, "名前を全角に揃える"),
    Sep,
    Item(Command::mnuRenameHira, "名前をひらがなに揃える"),
    Item(Command::mnuRenameKata, "名前をカタカナに揃える"),
    Sep,
    Item(Command::mnuRenameFixEncoding, "文字化けを直す"),
    Item(Command::mnuRenameNfc, "濁点を結合する"),
};

const MenuRow kFunctionMenu[] = {
    UseAct(Command::actExecute),
    UseAct(Command::actExplorer),
    UseAct(Command::actMemoOpen),
    UseAct(Command::actDos),
    UseAct(Command::actMakeShortcut),
    Sep,
    UseAct(Command::actClipboard),
    UseAct(Command::actClipboardNoPath),
    Sep,
    Item(Command::mnuRenameIkkatu, "ファイル名一括変換フォーム..."),
    Check(MenuSwitch::mnuPlayList, "音楽・動画ファイルを順に見る"),
};

const MenuRow kSpecialFolderMenu[] = {
    Item(Command::mnuOpenUserHome, "ユーザーのフォルダ"),
    Item(Command::mnuOpenMyDocument, "マイドキュメント"),
    Item(Command::mnuOpenFavorites, "お気に入り"),
    Item(Command::mnuOpenSendTo2, "「送る」メニュー"),
    Item(Command::mnuOpenStartUp, "スタートアップ"),
    Item(Command::mnuOpenStartMenu, "スタートメニュー"),
    Item(Command::mnuOpenProgramDir, "プログラムフォルダ"),
    Item(Command::mnuOpenWinDir, "Windowsフォルダ"),
    Sep,
    Item(Command::mnuTonboExe, "Tonboのプログラムフォルダを開く"),
};

const MenuRow kSettingsMenu[] = {
    Check(MenuSwitch::mnuDescript, "何か実行する前に説明を表示する"),
    Check(MenuSwitch::mnuSound, "効果音を鳴らす"),
    Check(MenuSwitch::mnuPicture, "メニューにアイコンを表示"),
    Check(MenuSwitch::mnuToolBar, "ツールバーの表示"),
    Check(MenuSwitch::mnuExcelSort, "辞書順に並び替える"),
    Check(MenuSwitch::mnuExtNotChange, "拡張子の変更をしない"),
    Check(MenuSwitch::mnuColTaken, "撮影日時の列を表示する"),
    Sep,
    Item(Command::mnuOpenSendTo, "「送る」メニューを開く"),
    Item(Command::mnuRegSendToOther, "「送る」へ任意のソフトを登録する"),
};

const MenuRow kInstallMenu[] = {
    Item(Command::mnuInstall, "インストール"),
    Item(Command::mnuUninstall, "アンインストール"),
    Sep,
    Item(Command::mnuRegistryInstall, "レジストリへ登録"),
    Item(Command::mnuRegistryUninstall, "レジストリから削除"),
};

const MenuRow kHelpMenu[] = {
    Item(Command::mnuHelp, "使い方を見る", "F1"),
    Item(Command::mnuVersion, "バージョン情報(&V)"),
};

const MenuRow kPopupMenu[] = {
    Named("popRenameOne", "ファイルをプレビューする", Command::actRenameOne),
    Sep,
    Named("N3", "同じフォルダのファイルを追加", Command::mnuAddSameDir),
    Named("popAddSameDirEx", "同じフォルダのファイルとフォルダを追加", Command::mnuAddSameDirEx),
    Sep,
    UseAct(Command::actExecute),
    UseAct(Command::actExplorer),
    UseAct(Command::actDos),
    UseAct(Command::actMemoOpen),
    UseAct(Command::actMakeShortcut),
    UseAct(Command::actClipboard),
    Sep,
};

struct ToolRow {
  const char* name;  // nullptr: a separator
  const char* hint;
  Command command;
  const char* icon;
};

const ToolRow kToolButtons[] = {
    {"toolClear", "初期化", Command::actClear, "document-new"},
    {"toolOpen", "ファイルを追加", Command::actOpen, "list-add"},
    {nullptr, nullptr, Command{}, nullptr},
    {"toolBackup", "バックアップ", Command::actBackup, "document-save"},
    {"toolReset", "元のファイル名に戻す", Command::actNameReset, "edit-clear"},
    {"toolDeleteFile", "リストからファイルの除外", Command::actExtract, "list-remove"},
    {"btnDelete", "ファイルを削除", Command::mnuDeleteFile, "edit-delete"},
    {nullptr, nullptr, Command{}, nullptr},
    {"ToolButton9", "プレビュー", Command::actRenameOne, "document-print-preview"},
    {"toolSelectAll", "全て選択", Command::actSelectAll, "edit-select-all"},
    {nullptr, nullptr, Command{}, nullptr},
    {"ToolButton10", "ランダムに名前変更", Command::mnuRenameRandom, "media-playlist-shuffle"},
    {"ToolButton11", "連番に名前変更", Command::mnuRenban, "format-justify-left"},
    {"ToolButton12", "日付名前変更", Command::mnuRenameDate, "x-office-calendar"},
};

// Pictures of the menu items (shown while "メニューにアイコンを表示" is on).
const std::pair<const char*, const char*> kMenuIcons[] = {
    {"mnuNew", "document-new"},
    {"mnuAddFile", "list-add"},
    {"mnuLoadList", "document-open"},
    {"mnuSaveList", "document-save-as"},
    {"mnuClose", "application-exit"},
    {"mnuUndo", "edit-undo"},
    {"mnuRedo", "edit-redo"},
    {"actSelectAll", "edit-select-all"},
    {"mnuSelectWildcard", "edit-find"},
    {"actRenameReal", "system-run"},
    {"U1", "edit-clear"},
    {"actExtract", "list-remove"},
    {"actBackup", "document-save"},
    {"mnuDeleteFile", "edit-delete"},
    {"actRenameOne", "document-print-preview"},
    {"mnuReplace", "edit-find-replace"},
    {"mnuRenameRandom", "media-playlist-shuffle"},
    {"mnuRenban", "format-justify-left"},
    {"mnuRenameDate", "x-office-calendar"},
    {"mnuRenameFromTags", "audio-x-generic"},
    {"actExecute", "document-open"},
    {"actExplorer", "folder-open"},
    {"actDos", "utilities-terminal"},
    {"actClipboard", "edit-copy"},
    {"mnuHelp", "help-contents"},
    {"mnuVersion", "help-about"},
    {"actOptionRename", "preferences-system"},
};

// Keys a Linux desktop user tries first, beside the program's own. Each is
// free in the main window; the preview's Ctrl+S and Ctrl+Q belong to its own
// window and are not reached from here.
const std::pair<const char*, const char*> kDesktopKeys[] = {
    {"mnuRedo", "Ctrl+Shift+Z"},
    {"mnuAddFile", "Ctrl+O"},
    {"mnuSaveList", "Ctrl+S"},
    {"mnuClose", "Ctrl+Q"},
};

template <size_t N>
void AddItems(QMenu* menu, const MenuRow (&rows)[N],
              const std::function<QAction*(const MenuRow&)>& make) {
  for (const MenuRow& row : rows) {
    if (row.kind == MenuRow::Separator)
      menu->addSeparator();
    else
      menu->addAction(make(row));
  }
}

}  // namespace

QAction* TfrmMain::NewAction(const char* name, const char* caption, Command command,
                             const char* shortcut) {
  auto* action = new QAction(QString::fromUtf8(caption), this);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  commands_.Bind(action, command);
  return action;
}

QAction* TfrmMain::NewSwitch(MenuSwitch menuSwitch, const char* caption) {
  auto* action = new QAction(QString::fromUtf8(caption), this);
  action->setObjectName(QString::fromLatin1(SwitchName(menuSwitch)));
  action->setCheckable(true);
  switches_[static_cast<size_t>(menuSwitch)] = action;
  return action;
}

QAction* TfrmMain::Act(const QString& name) const { return findChild<QAction*>(name); }

QAction* TfrmMain::CommandAction(Command command) const {
  return Act(QString::fromLatin1(CommandName(command)));
}

void TfrmMain::CreateActions() {
  for (const ActionRow& row : kActions) {
    QAction* action = NewAction(CommandName(row.command), row.caption, row.command, row.shortcut);
    action->setProperty("category", QString::fromUtf8(row.category));
  }
}

// An entry that shows an action under another caption carries its shortcut.
QAction* TfrmMain::MenuItem(const MenuRow& row) {
  switch (row.kind) {
    case MenuRow::UseAction:
      return CommandAction(row.command);
    case MenuRow::SwitchItem:
      return NewSwitch(row.menuSwitch, row.caption);
    default:
      return NewAction(row.name ? row.name : CommandName(row.command), row.caption, row.command,
                       row.shortcut);
  }
}

void TfrmMain::CreateMenus() {
  auto make = [this](const MenuRow& row) { return MenuItem(row); };
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto addMenu = [bar](const char* caption, const char* name) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromUtf8(name));
    return menu;
  };
  AddItems(addMenu("リスト(&F)", "mnuList"), kListMenu, make);
  AddItems(addMenu("編集(&E)", "mnuEdit"), kEditMenu, make);
  AddItems(addMenu("名前変更(&N)", "mnuRename"), kRenameMenu, make);
  AddItems(addMenu("組合せ(&K)", "mnuCombine"), kCombineMenu, make);
  AddItems(addMenu("整形(&T)", "mnuFormat"), kFormatMenu, make);
  QMenu* function = addMenu("機能(&F)", "mnuFunction");
  AddItems(function, kFunctionMenu, make);
  function->addSeparator();
  QMenu* special = function->addMenu(QStringLiteral("特殊フォルダを開く(&O)"));
  special->setObjectName(QStringLiteral("mnuSpecialFolder"));
  AddItems(special, kSpecialFolderMenu, make);
  QMenu* sendTo = function->addMenu(QStringLiteral("送る(&N)"));
  sendTo->setObjectName(QStringLiteral("mnuSendTo"));
  sendTo->setEnabled(false);  // filled with the send-to entries at start-up
  QMenu* settings = addMenu("設定(&S)", "mnuSetting");
  AddItems(settings, kSettingsMenu, make);
  QMenu* install = settings->addMenu(QStringLiteral("インストール・アンインストール"));
  install->setObjectName(QStringLiteral("mnuInstallMenu"));
  AddItems(install, kInstallMenu, make);
  settings->addSeparator();
  settings->addAction(CommandAction(Command::actOptionRename));
  AddItems(addMenu("ヘルプ(&H)", "mnuHelpMenu"), kHelpMenu, make);
  for (const auto& [name, icon] : kMenuIcons)
    if (QAction* action = Act(QString::fromLatin1(name)))
      action->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
  // The program's own key stays first: it is the one the menu shows.
  for (const auto& [name, key] : kDesktopKeys)
    if (QAction* action = Act(QString::fromLatin1(name))) {
      QList<QKeySequence> keys = action->shortcuts();
      keys.append(QKeySequence(QString::fromLatin1(key)));
      action->setShortcuts(keys);
    }
}

void TfrmMain::CreatePopupMenu() {
  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  AddItems(popupMenu1_, kPopupMenu, [this](const MenuRow& row) { return MenuItem(row); });
}

void TfrmMain::CreateToolBar() {
  toolBar_ = addToolBar(QStringLiteral("ToolBar"));
  toolBar_->setObjectName(QStringLiteral("ToolBar"));
  toolBar_->setMovable(false);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setIconSize(QSize(24, 24));
  toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
  for (const ToolRow& row : kToolButtons) {
    if (!row.name) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* action = NewAction(row.name, row.hint, row.command, "");
    action->setToolTip(QString::fromUtf8(row.hint));
    action->setIcon(QIcon::fromTheme(QString::fromUtf8(row.icon), FallbackFileIcon()));
    toolBar_->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action)))
      button->setFixedSize(31, 30);
  }
}

void TfrmMain::RegisterCommands() {
  commands_.Register(Command::mnuClose, [this] { close(); });
  commands_.Register(Command::mnuUndo, [this] { mnuUndoClick(); });
  commands_.Register(Command::mnuRedo, [this] { mnuRedoClick(); });
  commands_.Register(Command::actOpen, [this] { actOpenExecute(); });
  commands_.Register(Command::mnuAddSameDir, [this] { AddSameFolder(false); });
  commands_.Register(Command::mnuAddSameDirEx, [this] { AddSameFolder(true); });
  commands_.Register(Command::mnuSaveList, [this] { mnuSaveListClick(); });
  commands_.Register(Command::mnuLoadList, [this] { mnuLoadListClick(); });
  commands_.Register(Command::actSelectAll, [this] { actSelectAllExecute(); });
  commands_.Register(Command::actSelectNone, [this] { actSelectNoneExecute(); });
  commands_.Register(Command::actSelectReverse, [this] { actSelectReverseExecute(); });
  commands_.Register(Command::actExtract, [this] { actExtractExecute(); });
  commands_.Register(Command::mnuDeleteFile, [this] { mnuDeleteFileClick(); });
  commands_.Register(Command::actNameReset, [this] { actNameResetExecute(); });
  commands_.Register(Command::actClear, [this] { actClearExecute(); });
  commands_.Register(Command::actRenameReal, [this] { actRenameRealExecute(); });
  commands_.Register(Command::mnuUndoRename, [this] { mnuUndoRenameClick(); });
  commands_.Register(Command::mnuSelectClashes, [this] { mnuSelectClashesClick(); });
}

}  // namespace tonbo
