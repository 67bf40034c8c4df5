#pragma once
// The main window's commands and switches, named by identifiers the compiler
// checks. Each identifier is also the object name of the action that runs
// the command or shows the switch (tests and the menu pictures find actions
// by it); a switch's settings key is what the settings file keeps it under,
// and stored files rely on those keys.
#include <cstddef>

namespace tonbo {

// Grouped by the menu that first shows them.
// clang-format off
#define TONBO_MAIN_COMMANDS(X)                                                               \
  /* リスト */                                                                               \
  X(actClear) X(actOpen) X(mnuAddSameDir) X(mnuAddSameDirEx) X(mnuLoadList) X(mnuSaveList)   \
  X(mnuMakeBatch) X(mnuMakeScript) X(mnuClose)                                               \
  /* 編集 */                                                                                 \
  X(mnuUndo) X(mnuRedo) X(actSelectAll) X(actSelectNone) X(actSelectReverse)                 \
  X(actSelectWildcard) X(actRenameReal) X(mnuUndoRename) X(actNameReset) X(actExtract)       \
  X(actBackup) X(mnuDeleteFile)                                                              \
  X(mnuRunHistory)                                                                           \
  X(mnuSelectClashes)                                                                        \
  /* 名前変更 */                                                                             \
  X(actRenameOne) X(mnuRenameSimple) X(mnuReplace) X(mnuReplaceRE) X(mnuRenameDate)          \
  X(mnuRenban) X(mnuRenameRandom) X(actOptionRename)                                         \
  X(mnuRenameFromTags)                                                                       \
  /* 組合せ */                                                                               \
  X(mnuRenbanAndStr) X(mnuRenbanAndStr2) X(mnuRenbanAndOldName) X(mnuFNameAddFoot)           \
  X(mnuFNameAddHead) X(mnuRenbanAndStr3)                                                     \
  /* 整形 */                                                                                 \
  X(mnuRenameLower) X(mnuRenameUpper) X(mnuRenameHankakuAnk) X(mnuRenameHankaku)             \
  X(mnuRenameZenkaku) X(mnuRenameHira) X(mnuRenameKata) X(mnuRenameFixEncoding)              \
  X(mnuRenameNfc)                                                                            \
  /* 機能 */                                                                                 \
  X(actExecute) X(actExplorer) X(actMemoOpen) X(actDos) X(actMakeShortcut) X(actClipboard)   \
  X(actClipboardNoPath) X(mnuRenameIkkatu) X(mnuOpenUserHome) X(mnuOpenMyDocument)           \
  X(mnuOpenFavorites) X(mnuOpenSendTo2) X(mnuOpenStartUp) X(mnuOpenStartMenu)                \
  X(mnuOpenProgramDir) X(mnuOpenWinDir) X(mnuTonboExe)                                       \
  /* 設定 */                                                                                 \
  X(mnuOpenSendTo) X(mnuRegSendToOther) X(mnuInstall) X(mnuUninstall) X(mnuRegistryInstall)  \
  X(mnuRegistryUninstall)                                                                    \
  /* ヘルプ */                                                                               \
  X(mnuHelp) X(mnuVersion)
// clang-format on

// The check items of "設定(&S)" and "機能(&F)", with their settings keys
// (nullptr: not kept between runs).
#define TONBO_MENU_SWITCHES(X)         \
  X(mnuSound, "sound")                 \
  X(mnuDescript, "always_help")        \
  X(mnuPicture, "picture")             \
  X(mnuExtNotChange, "ext_not_change") \
  X(mnuToolBar, "toolbar")             \
  X(mnuExcelSort, "mnuExcelSort")      \
  X(mnuPlayList, nullptr)              \
  X(mnuColTaken, nullptr)

#define TONBO_COMMAND_ENUMERATOR(name) name,
#define TONBO_SWITCH_ENUMERATOR(name, key) name,
enum class Command { TONBO_MAIN_COMMANDS(TONBO_COMMAND_ENUMERATOR) };
enum class MenuSwitch { TONBO_MENU_SWITCHES(TONBO_SWITCH_ENUMERATOR) };
#undef TONBO_COMMAND_ENUMERATOR
#undef TONBO_SWITCH_ENUMERATOR

#define TONBO_COUNT_ONE(...) +1
inline constexpr size_t kCommandCount = 0 TONBO_MAIN_COMMANDS(TONBO_COUNT_ONE);
inline constexpr size_t kSwitchCount = 0 TONBO_MENU_SWITCHES(TONBO_COUNT_ONE);
#undef TONBO_COUNT_ONE

// The object name of the command's action ("mnuRenban").
const char* CommandName(Command command);
// The object name of the switch's check item ("mnuSound").
const char* SwitchName(MenuSwitch menuSwitch);
// Its key in the settings section "setting"; nullptr when it is not kept.
const char* SwitchKey(MenuSwitch menuSwitch);

}  // namespace tonbo
