#pragma once
// The rule settings in the settings file, section "setting", in the order
// the dialog reads and writes them.
#include <vector>

#include "core/IniFile.h"
#include "text/RenameRules.h"

namespace tonbo {

// Missing keys and values that are not numbers give the defaults; numbers
// out of range are brought to the nearest bound.
RenameRules LoadRenameRules(const TIniFileEx& ini);
void SaveRenameRules(const RenameRules& rules, TIniFileEx& ini);
// The keys of the rule settings, in the order they are read.
std::vector<const char*> RenameRulesKeys();

}  // namespace tonbo
