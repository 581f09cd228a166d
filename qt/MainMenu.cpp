#include "qt/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "qt/PaneText.h"

namespace quillery {

MainMenu::MainMenu(QWidget* window) : QObject(window), menuBar_(new QMenuBar(window)) {
    menuBar_->setObjectName(QStringLiteral("menu129"));
    for (const MenuEntry& popup : MainMenuTree()) {
        AddEntries(menuBar_->addMenu(ToQString(popup.label)), popup.children);
    }
}

void MainMenu::AddEntries(QMenu* menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntry::Kind::Separator:
                menu->addSeparator();
                break;
            case MenuEntry::Kind::Popup:
                AddEntries(menu->addMenu(ToQString(entry.label)), entry.children);
                break;
            case MenuEntry::Kind::Item: {
                QAction* action = menu->addAction(ToQString(entry.label));
                const int value = static_cast<int>(entry.id);
                action->setData(value);
                action->setObjectName(QStringLiteral("command%1").arg(value));
                action->setCheckable(entry.checkable);
                actions_.insert(value, action);
                connect(action, &QAction::triggered, this,
                        [this, id = entry.id] { emit commandTriggered(id); });
                break;
            }
        }
    }
}

void MainMenu::Apply(const std::vector<MenuItemState>& states) {
    for (const MenuItemState& state : states) {
        QAction* item = action(state.id);
        item->setText(ToQString(state.label));
        item->setChecked(state.checked);
        item->setEnabled(state.enabled);
    }
}

}  // namespace quillery
