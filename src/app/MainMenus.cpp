// The main window's actions, menus, context menu and tool bar, as tables.
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/TfrmMain.h"

namespace tonbo {
namespace {

struct ActionRow {
  const char* name;
  const char* category;
  const char* caption;
  const char* shortcut;
};

const ActionRow kActions[] = {
    {"actClear", "ファイル", "初期化", ""},
    {"actOpen", "ファイル", "ファイルを追加", ""},
    {"actExtract", "ファイル", "選択ファイルをリストから除外", ""},
    {"actBackup", "機能", "選択されたファイルをバックアップ", ""},
    {"actNameReset", "名前変更", "名前を元に戻す(&R)", ""},
    {"actSelectAll", "選択", "全て選択", "Ctrl+A"},
    {"actSelectNone", "選択", "全ての選択を解除", ""},
    {"actSelectReverse", "選択", "選択の反転", ""},
    {"actSelectWildcard", "選択", "条件から選択", "Ctrl+F"},
    {"actExecute", "機能", "関連付けで開く", "Ctrl+R"},
    {"actExplorer", "機能", "エクスプローラーでフォルダを開く", "Ctrl+E"},
    {"actRenameReal", "機能", "実際に名前変更を反映させる", "F5"},
    {"actDos", "機能", "DOS窓を開く", "Ctrl+D"},
    {"actOptionRename", "設定", "名前変更規則の設定", ""},
    {"actClipboard", "機能", "クリップボードに名前をコピー", "Ctrl+C"},
    {"actRenameOne", "名前変更", "ファイルをプレビューしながら名前を変更", ""},
    {"actMemoOpen", "機能", "メモ帳で開く", "Ctrl+T"},
    {"actMakeShortcut", "機能", "デスクトップにショートカットの作成", ""},
    {"actClipboardNoPath", "機能", "クリップボードに名前(パスなし)をコピー", ""},
};

// A menu entry: "-" is a separator; an "act…" name with no caption places
// that action itself; otherwise a menu item of its own that runs `command`.
struct ItemRow {
  const char* name;
  const char* caption;
  const char* command;
  const char* shortcut;
  bool check;
};

constexpr ItemRow Sep{"-", nullptr, nullptr, "", false};
constexpr ItemRow UseAct(const char* act) { return {act, nullptr, act, "", false}; }
constexpr ItemRow Item(const char* name, const char* caption, const char* shortcut = "") {
  return {name, caption, name, shortcut, false};
}
constexpr ItemRow Check(const char* name, const char* caption) {
  return {name, caption, name, "", true};
}

const ItemRow kListMenu[] = {
    {"mnuNew", "初期化", "actClear", "", false},
    {"mnuAddFile", "ファイルを追加", "actOpen", "", false},
    Item("mnuAddSameDir", "選択ファイルと同じフォルダにあるファイルを追加", "F4"),
    Item("mnuAddSameDirEx", "選択ファイルと同じフォルダにあるファイルとフォルダを追加", "Shift+F4"),
    Sep,
    Item("mnuLoadList", "リストを読込"),
    Item("mnuSaveList", "リストを保存"),
    Item("mnuMakeBatch", "変換リストからバッチファイルを生成"),
    Item("mnuMakeScript", "シェルスクリプトを生成"),
    Sep,
    Item("mnuClose", "閉じる", "Alt+F4"),
};

const ItemRow kEditMenu[] = {
    Item("mnuUndo", "元に戻す(&Undo)", "Ctrl+Z"),
    Item("mnuRedo", "やり直す(&Redo)", "Ctrl+Y"),
    Sep,
    UseAct("actSelectAll"),
    UseAct("actSelectNone"),
    UseAct("actSelectReverse"),
    {"mnuSelectWildcard", "条件で選択", "actSelectWildcard", "Ctrl+F", false},
    Sep,
    UseAct("actRenameReal"),
    Item("mnuUndoRename", "実行した名前変更を元に戻す"),
    {"U1", "名前をオリジナルの状態に戻す(&U)", "actNameReset", "", false},
    Sep,
    UseAct("actExtract"),
    UseAct("actBackup"),
    Item("mnuDeleteFile", "選択されたファイルを削除", "Del"),
};

const ItemRow kRenameMenu[] = {
    UseAct("actRenameOne"),
    Sep,
    Item("mnuRenameSimple", "指定文字列に名前を変更"),
    Item("mnuReplace", "ファイル名の一括置換", "Ctrl+H"),
    Item("mnuReplaceRE", "正規表現置換"),
    Sep,
    Item("mnuRenameDate", "名前に日付をふる"),
    Item("mnuRenban", "名前に連番をふる"),
    Item("mnuRenameRandom", "ランダムに名前変更"),
    Sep,
    {"N53", "ファイル名一括変換フォーム...", "mnuRenameIkkatu", "", false},
    Sep,
    {"mnuRenameCustomize", "名前変更のカスタマイズ", "actOptionRename", "", false},
};

const ItemRow kCombineMenu[] = {
    Item("mnuRenbanAndStr", "[連番]＋指定文字列"),
    Item("mnuRenbanAndStr2", "指定文字列＋[連番]"),
    Item("mnuRenbanAndOldName", "[連番]＋(ファイル名)"),
    Sep,
    Item("mnuFNameAddFoot", "(ファイル名)＋指定文字列"),
    Item("mnuFNameAddHead", "指定文字列＋(ファイル名)｜＝前方に文字を挿入"),
    Item("mnuRenbanAndStr3", "指定文字列＋[連番]＋(ファイル名)"),
};

const ItemRow kFormatMenu[] = {
    Item("mnuRenameLower", "名前を小文字に揃える"),
    Item("mnuRenameUpper", "名前を大文字に揃える"),
    Sep,
    Item("mnuRenameHankakuAnk", "名前の英数記号のみを半角に揃える"),
    Item("mnuRenameHankaku", "名前を半角に揃える"),
    Item("mnuRenameZenkaku", "名前を全角に揃える"),
    Sep,
    Item("mnuRenameHira", "名前をひらがなに揃える"),
    Item("mnuRenameKata", "名前をカタカナに揃える"),
    Sep,
    Item("mnuRenameFixEncoding", "文字化けを直す"),
    Item("mnuRenameNfc", "濁点を結合する"),
};

const ItemRow kFunctionMenu[] = {
    UseAct("actExecute"),
    UseAct("actExplorer"),
    UseAct("actMemoOpen"),
    UseAct("actDos"),
    UseAct("actMakeShortcut"),
    Sep,
    UseAct("actClipboard"),
    UseAct("actClipboardNoPath"),
    Sep,
    Item("mnuRenameIkkatu", "ファイル名一括変換フォーム..."),
    Check("mnuPlayList", "音楽・動画ファイルを順に見る"),
};

const ItemRow kSpecialFolderMenu[] = {
    Item("mnuOpenUserHome", "ユーザーのフォルダ"),
    Item("mnuOpenMyDocument", "マイドキュメント"),
    Item("mnuOpenFavorites", "お気に入り"),
    Item("mnuOpenSendTo2", "「送る」メニュー"),
    Item("mnuOpenStartUp", "スタートアップ"),
    Item("mnuOpenStartMenu", "スタートメニュー"),
    Item("mnuOpenProgramDir", "プログラムフォルダ"),
    Item("mnuOpenWinDir", "Windowsフォルダ"),
    Sep,
    Item("mnuTonboExe", "Tonboのプログラムフォルダを開く"),
};

const ItemRow kSettingsMenu[] = {
    Check("mnuDescript", "何か実行する前に説明を表示する"),
    Check("mnuSound", "効果音を鳴らす"),
    Check("mnuPicture", "メニューにアイコンを表示"),
    Check("mnuToolBar", "ツールバーの表示"),
    Check("mnuExcelSort", "辞書順に並び替える"),
    Check("mnuExtNotChange", "拡張子の変更をしない"),
    Sep,
    Item("mnuOpenSendTo", "「送る」メニューを開く"),
    Item("mnuRegSendToOther", "「送る」へ任意のソフトを登録する"),
};

const ItemRow kInstallMenu[] = {
    Item("mnuInstall", "インストール"),
    Item("mnuUninstall", "アンインストール"),
    Sep,
    Item("mnuRegistryInstall", "レジストリへ登録"),
    Item("mnuRegistryUninstall", "レジストリから削除"),
};

const ItemRow kHelpMenu[] = {
    Item("mnuHelp", "使い方を見る", "F1"),
    Item("mnuVersion", "バージョン情報(&V)"),
};

const ItemRow kPopupMenu[] = {
    {"popRenameOne", "ファイルをプレビューする", "actRenameOne", "", false},
    Sep,
    {"N3", "同じフォルダのファイルを追加", "mnuAddSameDir", "", false},
    {"popAddSameDirEx", "同じフォルダのファイルとフォルダを追加", "mnuAddSameDirEx", "", false},
    Sep,
    UseAct("actExecute"),
    UseAct("actExplorer"),
    UseAct("actDos"),
    UseAct("actMemoOpen"),
    UseAct("actMakeShortcut"),
    UseAct("actClipboard"),
    Sep,
};

struct ToolRow {
  const char* name;
  const char* hint;
  const char* command;
  const char* icon;
};

const ToolRow kToolButtons[] = {
    {"toolClear", "初期化", "actClear", "document-new"},
    {"toolOpen", "ファイルを追加", "actOpen", "list-add"},
    {nullptr, nullptr, nullptr, nullptr},
    {"toolBackup", "バックアップ", "actBackup", "document-save"},
    {"toolReset", "元のファイル名に戻す", "actNameReset", "edit-clear"},
    {"toolDeleteFile", "リストからファイルの除外", "actExtract", "list-remove"},
    {"btnDelete", "ファイルを削除", "mnuDeleteFile", "edit-delete"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ToolButton9", "プレビュー", "actRenameOne", "document-print-preview"},
    {"toolSelectAll", "全て選択", "actSelectAll", "edit-select-all"},
    {nullptr, nullptr, nullptr, nullptr},
    {"ToolButton10", "ランダムに名前変更", "mnuRenameRandom", "media-playlist-shuffle"},
    {"ToolButton11", "連番に名前変更", "mnuRenban", "format-justify-left"},
    {"ToolButton12", "日付名前変更", "mnuRenameDate", "x-office-calendar"},
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
    {"actExecute", "document-open"},
    {"actExplorer", "folder-open"},
    {"actDos", "utilities-terminal"},
    {"actClipboard", "edit-copy"},
    {"mnuHelp", "help-contents"},
    {"mnuVersion", "help-about"},
    {"actOptionRename", "preferences-system"},
};

template <size_t N>
void AddItems(TfrmMain* w, QMenu* menu, const ItemRow (&rows)[N],
              const std::function<QAction*(const ItemRow&)>& make) {
  for (const ItemRow& row : rows) {
    if (QString::fromLatin1(row.name) == QLatin1String("-"))
      menu->addSeparator();
    else
      menu->addAction(make(row));
  }
}

}  // namespace

QAction* TfrmMain::NewAction(const QString& name, const QString& caption, const QString& command,
                             const QKeySequence& shortcut) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  action->setShortcut(shortcut);
  commands_.Bind(action, command);
  return action;
}

QAction* TfrmMain::Act(const QString& name) const { return findChild<QAction*>(name); }

void TfrmMain::CreateActions() {
  for (const ActionRow& row : kActions) {
    QAction* action = NewAction(QString::fromUtf8(row.name), QString::fromUtf8(row.caption),
                                QString::fromUtf8(row.name), QKeySequence(row.shortcut));
    action->setProperty("category", QString::fromUtf8(row.category));
  }
}

void TfrmMain::CreateMenus() {
  auto make = [this](const ItemRow& row) -> QAction* {
    if (!row.caption) return Act(QString::fromUtf8(row.name));
    // An entry that shows an action under another caption carries its shortcut.
    QString command = QString::fromUtf8(row.command);
    QKeySequence shortcut(QString::fromUtf8(row.shortcut));
    QAction* action =
        NewAction(QString::fromUtf8(row.name), QString::fromUtf8(row.caption), command, shortcut);
    action->setCheckable(row.check);
    return action;
  };
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  auto addMenu = [bar](const char* caption, const char* name) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromUtf8(name));
    return menu;
  };
  AddItems(this, addMenu("リスト(&F)", "mnuList"), kListMenu, make);
  AddItems(this, addMenu("編集(&E)", "mnuEdit"), kEditMenu, make);
  AddItems(this, addMenu("名前変更(&N)", "mnuRename"), kRenameMenu, make);
  AddItems(this, addMenu("組合せ(&K)", "mnuCombine"), kCombineMenu, make);
  AddItems(this, addMenu("整形(&T)", "mnuFormat"), kFormatMenu, make);
  QMenu* function = addMenu("機能(&F)", "mnuFunction");
  AddItems(this, function, kFunctionMenu, make);
  function->addSeparator();
  QMenu* special = function->addMenu(QStringLiteral("特殊フォルダを開く(&O)"));
  special->setObjectName(QStringLiteral("mnuSpecialFolder"));
  AddItems(this, special, kSpecialFolderMenu, make);
  QMenu* sendTo = function->addMenu(QStringLiteral("送る(&N)"));
  sendTo->setObjectName(QStringLiteral("mnuSendTo"));
  sendTo->setEnabled(false);  // filled with the send-to entries at start-up
  QMenu* settings = addMenu("設定(&S)", "mnuSetting");
  AddItems(this, settings, kSettingsMenu, make);
  QMenu* install = settings->addMenu(QStringLiteral("インストール・アンインストール"));
  install->setObjectName(QStringLiteral("mnuInstallMenu"));
  AddItems(this, install, kInstallMenu, make);
  settings->addSeparator();
  settings->addAction(Act(QStringLiteral("actOptionRename")));
  AddItems(this, addMenu("ヘルプ(&H)", "mnuHelpMenu"), kHelpMenu, make);
  for (const auto& [name, icon] : kMenuIcons)
    if (QAction* action = Act(QString::fromLatin1(name)))
      action->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
}

void TfrmMain::CreatePopupMenu() {
  popupMenu1_ = new QMenu(this);
  popupMenu1_->setObjectName(QStringLiteral("PopupMenu1"));
  AddItems(this, popupMenu1_, kPopupMenu, [this](const ItemRow& row) -> QAction* {
    if (!row.caption) return Act(QString::fromUtf8(row.name));
    return NewAction(QString::fromUtf8(row.name), QString::fromUtf8(row.caption),
                     QString::fromUtf8(row.command));
  });
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
    QAction* action = NewAction(QString::fromUtf8(row.name), QString::fromUtf8(row.hint),
                                QString::fromUtf8(row.command));
    action->setToolTip(QString::fromUtf8(row.hint));
    action->setIcon(QIcon::fromTheme(QString::fromUtf8(row.icon), FallbackFileIcon()));
    toolBar_->addAction(action);
    if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action)))
      button->setFixedSize(31, 30);
  }
}

void TfrmMain::RegisterCommands() {
  commands_.Register(QStringLiteral("mnuClose"), [this] { close(); });
  commands_.Register(QStringLiteral("mnuUndo"), [this] { mnuUndoClick(); });
  commands_.Register(QStringLiteral("mnuRedo"), [this] { mnuRedoClick(); });
  commands_.Register(QStringLiteral("actOpen"), [this] { actOpenExecute(); });
  commands_.Register(QStringLiteral("mnuAddSameDir"), [this] { AddSameFolder(false); });
  commands_.Register(QStringLiteral("mnuAddSameDirEx"), [this] { AddSameFolder(true); });
  commands_.Register(QStringLiteral("mnuSaveList"), [this] { mnuSaveListClick(); });
  commands_.Register(QStringLiteral("mnuLoadList"), [this] { mnuLoadListClick(); });
  commands_.Register(QStringLiteral("actSelectAll"), [this] { actSelectAllExecute(); });
  commands_.Register(QStringLiteral("actSelectNone"), [this] { actSelectNoneExecute(); });
  commands_.Register(QStringLiteral("actSelectReverse"), [this] { actSelectReverseExecute(); });
  commands_.Register(QStringLiteral("actExtract"), [this] { actExtractExecute(); });
  commands_.Register(QStringLiteral("mnuDeleteFile"), [this] { mnuDeleteFileClick(); });
  commands_.Register(QStringLiteral("actNameReset"), [this] { actNameResetExecute(); });
  commands_.Register(QStringLiteral("actClear"), [this] { actClearExecute(); });
  commands_.Register(QStringLiteral("actRenameReal"), [this] { actRenameRealExecute(); });
  commands_.Register(QStringLiteral("mnuUndoRename"), [this] { mnuUndoRenameClick(); });
}

}  // namespace tonbo
