#include "app/CommandTable.h"

#include "common/Dialogs.h"
#include "common/Errors.h"

namespace tonbo {

void CommandTable::Bind(QAction* action, const QString& key) {
  actions_[key].append(action);
  action->setEnabled(handlers_.contains(key));
  QObject::connect(action, &QAction::triggered, action, [this, key] { Run(key); });
}

void CommandTable::Register(const QString& key, std::function<void()> handler) {
  handlers_.insert(key, std::move(handler));
  UpdateEnabled(key);
}

bool CommandTable::Run(const QString& key) {
  auto it = handlers_.constFind(key);
  if (it == handlers_.constEnd()) return false;
  RunGuarded(it.value());
  return true;
}

void CommandTable::UpdateEnabled(const QString& key) {
  for (const auto& action : actions_.value(key))
    if (action) action->setEnabled(true);
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
