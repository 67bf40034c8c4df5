#include "app/CommandTable.h"

#include "common/Dialogs.h"
#include "common/Errors.h"

namespace tonbo {

void CommandTable::Bind(QAction* action, Command command) {
  actions_[At(command)].append(action);
  action->setEnabled(IsRegistered(command));
  QObject::connect(action, &QAction::triggered, action, [this, command] { Run(command); });
}

void CommandTable::Register(Command command, std::function<void()> handler) {
  handlers_[At(command)] = std::move(handler);
  for (const auto& action : actions_[At(command)])
    if (action) action->setEnabled(true);
}

bool CommandTable::Run(Command command) {
  const std::function<void()>& handler = handlers_[At(command)];
  if (!handler) return false;
  RunGuarded(handler);
  return true;
}

void RunGuarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    ShowError(QStringLiteral("メモリが不足しています。"));
  } catch (const std::exception& e) {
    ShowError(QString::fromUtf8(e.what()));
  }
}

}  // namespace tonbo
