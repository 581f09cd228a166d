#pragma once

#include <QHash>
#include <QObject>
#include <vector>

#include "windowlogic/CommandIds.h"
#include "windowlogic/MenuModel.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace quillery {

// The menu bar built from the shared menu tree, each item's action carrying its command
// identifier (data) and named "command<id>".
class MainMenu : public QObject {
    Q_OBJECT
  public:
    explicit MainMenu(QWidget* window);

    QMenuBar* menuBar() const { return menuBar_; }
    QAction* action(CommandId id) const { return actions_.value(static_cast<int>(id)); }

    // Shows each item's label, check mark and enabled state as given.
    void Apply(const std::vector<MenuItemState>& states);

  signals:
    void commandTriggered(CommandId id);

  private:
    void AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries);

    QMenuBar* menuBar_;
    QHash<int, QAction*> actions_;
};

}  // namespace quillery
