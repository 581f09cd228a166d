#pragma once

#include <string>
#include <vector>

#include "windowlogic/CommandIds.h"

namespace quillery {

struct Settings;

// One entry of the menu bar: a popup with its entries, a command item, or a separator.
struct MenuEntry {
    enum class Kind { Popup, Item, Separator };
    Kind kind = Kind::Item;
    std::u16string label;  // with its &-mnemonic; empty for a separator
    CommandId id{};        // items only
    bool checkable = false;
    std::vector<MenuEntry> children;  // popups only
};

// Menu 129: the popups of the menu bar in order, every item and separator in place.
const std::vector<MenuEntry>& MainMenuTree();

// What an item shows now. Labels are rewritten with the state, as the original menu
// rewrote them; an item that no rule changes is not listed.
struct MenuItemState {
    CommandId id{};
    std::u16string label;
    bool checked = false;
    bool enabled = true;
};

// The check marks from the record (a flag counts only when it is exactly 1; a hand-edited
// ratio checks nothing) and, while a run is busy, the five commands that would disturb it
// greyed.
std::vector<MenuItemState> MenuStates(const Settings& settings, bool busy);

// The commands a run greys, in the order it rewrites them.
inline constexpr CommandId kBusyCommands[] = {CommandId::SaveInput, CommandId::SaveOutput,
                                              CommandId::Exit, CommandId::Convert,
                                              CommandId::DebugConvert};

std::u16string RatioLabel(int k);        // "40%"
std::u16string WindowRatioLabel(int r);  // "2:4(&2)"

}  // namespace quillery
