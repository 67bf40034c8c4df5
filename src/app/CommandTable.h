#pragma once
// Links the window's actions (menu items, tool buttons, shortcuts) to the
// command each runs. A command that is not registered leaves every action
// bound to it present but disabled; a registered command runs through one
// dispatcher that shows an error that ends it in the standard error box.
#include <QAction>
#include <QList>
#include <QPointer>

#include <array>
#include <functional>

#include "app/MainCommands.h"

namespace tonbo {

class CommandTable {
 public:
  // Binds an action to the command; the action is enabled once the command has a handler.
  void Bind(QAction* action, Command command);
  void Register(Command command, std::function<void()> handler);
  bool IsRegistered(Command command) const { return static_cast<bool>(handlers_[At(command)]); }
  bool IsBound(Command command) const { return !actions_[At(command)].isEmpty(); }
  // Runs the command; false when it has no handler.
  bool Run(Command command);

 private:
  static size_t At(Command command) { return static_cast<size_t>(command); }

  std::array<std::function<void()>, kCommandCount> handlers_;
  std::array<QList<QPointer<QAction>>, kCommandCount> actions_;
};

// Runs a command body, showing an error that escapes it in the standard error box.
void RunGuarded(const std::function<void()>& body);

}  // namespace tonbo
