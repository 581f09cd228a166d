#pragma once

#include "settings/Settings.h"

namespace quillery {

// How a pane is painted.
enum class PaneLook {
    Usual,  // the system's edit colours
    Face,   // the window's face colour behind the usual text: a pane that takes no typing
    Black,  // white text on black
};

// Any non-zero editReadOnly makes the output pane read-only (the check mark needs 1).
constexpr bool OutputPaneReadOnly(const Settings& settings) {
    return settings.editReadOnly != 0;
}

// White on black only for an enabled, writable pane while blackBackground is exactly 1; a
// read-only or disabled pane shows the face colour, as a Windows edit does.
constexpr PaneLook PaneLookFor(const Settings& settings, bool readOnly, bool enabled) {
    if (readOnly || !enabled) {
        return PaneLook::Face;
    }
    return settings.blackBackground == 1 ? PaneLook::Black : PaneLook::Usual;
}

}  // namespace quillery
