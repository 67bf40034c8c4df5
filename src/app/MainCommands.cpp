#include "app/MainCommands.h"

namespace tonbo {
namespace {

#define TONBO_COMMAND_NAME(name) #name,
constexpr const char* kCommandNames[] = {TONBO_MAIN_COMMANDS(TONBO_COMMAND_NAME)};
#undef TONBO_COMMAND_NAME

struct SwitchRow {
  const char* name;
  const char* key;
};

#define TONBO_SWITCH_ROW(name, key) {#name, key},
constexpr SwitchRow kSwitches[] = {TONBO_MENU_SWITCHES(TONBO_SWITCH_ROW)};
#undef TONBO_SWITCH_ROW

}  // namespace

const char* CommandName(Command command) { return kCommandNames[static_cast<size_t>(command)]; }

const char* SwitchName(MenuSwitch menuSwitch) {
  return kSwitches[static_cast<size_t>(menuSwitch)].name;
}

const char* SwitchKey(MenuSwitch menuSwitch) {
  return kSwitches[static_cast<size_t>(menuSwitch)].key;
}

}  // namespace tonbo
