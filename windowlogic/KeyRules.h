#pragma once

namespace quillery {

// The main window's keys, taken before the window or a pane sees them (keys bound for the
// menu bar keep its own handling: Enter opens a menu, Esc leaves it).
enum class RuledKey { Escape, Enter, A, Tab, Other };

enum class KeyAction {
    PassOn,     // the pane or the window handles it as usual
    Swallow,    // nothing happens: Esc never closes the window, nor Enter outside a pane
    LineBreak,  // one line break, as Enter gives (Shift+Enter and Ctrl+Enter too)
    SelectAll,  // the whole pane's text, the view left where it is
    InsertTab,  // Ctrl+Tab; Tab alone moves the focus
};

// What a key does, for a key bound for the window or one of its panes. `inPane` when a
// pane has the focus, `paneWritable` when that pane takes typing.
constexpr KeyAction MainWindowKeyAction(RuledKey key, bool ctrl, bool shift, bool inPane,
                                        bool paneWritable) {
    switch (key) {
        case RuledKey::Escape:
            return KeyAction::Swallow;
        case RuledKey::Enter:
            if (!inPane) {
                return KeyAction::Swallow;
            }
            if (!ctrl && !shift) {
                return KeyAction::PassOn;
            }
            return paneWritable ? KeyAction::LineBreak : KeyAction::Swallow;
        case RuledKey::A:
            return ctrl && inPane ? KeyAction::SelectAll : KeyAction::PassOn;
        case RuledKey::Tab:
            if (!ctrl || !inPane) {
                return KeyAction::PassOn;
            }
            return paneWritable ? KeyAction::InsertTab : KeyAction::Swallow;
        case RuledKey::Other:
            break;
    }
    return KeyAction::PassOn;
}

}  // namespace quillery
