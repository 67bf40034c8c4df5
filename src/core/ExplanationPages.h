#pragma once
// The explanation pages shown before guarded commands and by the help
// links of dialogs: one page per key in the program folder's doc/func/.
#include <array>
#include <string>
#include <string_view>

namespace tonbo {

// Keys of the commands that pass the explain-before-executing guard; each
// also names the command's switch in the settings section "help".
inline constexpr std::array<std::string_view, 20> kGuardKeys = {
    "add_files",     "add_file_same_dir",
    "rename_real",   "dlg_overwrite",
    "select_leave",  "select_delete",
    "reset",         "list_clear",
    "rename_random", "rename_renban",
    "rename_date",   "save_list",
    "load_list",     "backup",
    "install",       "uninstall",
    "registry",      "fix_encoding",
    "nfc",           "rename_tags"};

// Pages shown by the help links of the rule settings, preview and replace dialogs.
inline constexpr std::array<std::string_view, 3> kHelpKeys = {"filename", "preview", "replace"};

// The page that explains the explanation dialog itself.
inline constexpr std::string_view kExplanationHelpKey = "help";

// programDir (ending in "/") + "doc/func/" + key + ".htm".
inline std::string ExplanationPage(const std::string& programDir, std::string_view key) {
  return programDir + "doc/func/" + std::string(key) + ".htm";
}

}  // namespace tonbo
