#pragma once
// A main window for whole-command tests: no file types from the desktop, no
// explanation guard in the way, no sounds.
#include <memory>

#include "FakeFileTypes.h"
#include "app/TfrmMain.h"

namespace tonbo::test {

inline std::unique_ptr<TfrmMain> QuietMain() {
  auto w = std::make_unique<TfrmMain>(nullptr, std::make_unique<NoFileTypes>());
  w->SetSwitch(MenuSwitch::mnuDescript, false);
  w->SetSoundPlayer([](const std::string&) {});
  return w;
}

}  // namespace tonbo::test
