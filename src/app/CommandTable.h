#pragma once
// Links the window's actions (menu items, tool buttons, shortcuts) to the
// command each runs. A command that is not registered leaves every action
// bound to it present but disabled; a registered command runs through one
// dispatcher that shows an error that ends it in the standard error box.
#include <QAction>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>

#include <functional>

namespace tonbo {

class CommandTable {
 public:
  // Binds an action to the command key; the action is enabled once the key has a handler.
  void Bind(QAction* action, const QString& key);
  void Register(const QString& key, std::function<void()> handler);
  bool IsRegistered(const QString& key) const { return handlers_.contains(key); }
  // Runs the command; false when it has no handler.
  bool Run(const QString& key);

 private:
  void UpdateEnabled(const QString& key);

  QHash<QString, std::function<void()>> handlers_;
  QHash<QString, QList<QPointer<QAction>>> actions_;
};

// Runs a command body, showing an error that escapes it in the standard error box.
void RunGuarded(const std::function<void()>& body);

}  // namespace tonbo
