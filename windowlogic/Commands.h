#pragma once

#include "windowlogic/CommandIds.h"

namespace quillery {

struct Settings;

// What the window does after a command has changed the record.
enum class WindowAction {
    None,
    Refresh,           // check marks, title and the panes' read-only state and colours
    LayoutAndRefresh,  // the pane split too
    RefreshAndRepaint,
    SaveInput,
    SaveOutput,
    Exit,
    StartRun,
    DebugConvert,  // the debug dialog, then a run with its options
    Dictionary,
    OnlineHelp,
    About,
};

// Carries out what a menu command does to the record, and says what the window must do
// next. The view items toggle (1 → 0, anything else → 1); 変換 makes a normal run
// (debugRun 0). Neither run command does anything while a run is under way: a command
// chosen before the menu greyed it is ignored, and the debug options are not asked for.
WindowAction ApplyCommand(Settings& settings, CommandId id, bool runActive);

}  // namespace quillery
