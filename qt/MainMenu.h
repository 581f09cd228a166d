#pragma once

#include <QHash>
#include <QObject>

#include "qt/CommandIds.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace quillery {

struct Settings;

// The menu bar: every popup, item and separator in order, each item's action carrying
// its command identifier (data) and named "command<id>".
class MainMenu : public QObject {
    Q_OBJECT
  public:
    explicit MainMenu(QWidget* window);

    QMenuBar* menuBar() const { return menuBar_; }
    QAction* action(CommandId id) const { return actions_.value(static_cast<int>(id)); }

    // Rewrites the ratio, window-ratio and view items: label and check mark together,
    // each left enabled.
    void Refresh(const quillery::Settings& settings);

    // Greys or enables the five commands that would disturb a running conversion.
    void SetBusy(bool busy);

  signals:
    void commandTriggered(CommandId id);

  private:
    QAction* AddItem(QMenu* menu, CommandId id, const QString& label);
    void Rewrite(CommandId id, const QString& label, bool checked);

    QMenuBar* menuBar_;
    QHash<int, QAction*> actions_;
};

// The label of each item that RefreshMenusAndTitle and SetBusy rewrite.
QString RatioLabel(int k);
QString WindowRatioLabel(int r);

}  // namespace quillery
