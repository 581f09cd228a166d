#pragma once

// Everything a front end (a window on one toolkit) takes from the shared window rules.
// What it must provide, and what it calls when:
//  - A Dispatcher (Post runs a function on the user-interface thread, never waiting) and
//    a RunView (message box, busy state, status hand-over, output and input panes) for its
//    RunController, which it owns; End() it when the window ends, before the settings go.
//  - The menu bar built from MainMenuTree(), then MenuStates(settings, busy) applied after
//    every command and whenever a run turns busy or idle; each chosen item goes through
//    ApplyCommand, and the window does what the returned WindowAction says.
//  - The title from WindowTitle, the pane split from SplitPaneHeights, the panes' colours
//    from PaneLookFor and the output pane's read-only state from OutputPaneReadOnly.
//  - Its rectangle from PlanWindowRect at start-up, and again once the frame is known (with
//    the title bar's height); at exit WindowStateToSave gives what SaveSettings records.
//  - The close box and 終了 both through ConfirmExit; keys through MainWindowKeyAction.
//  - Dialog fields through DictionaryName and SeedField; saved panes as PaneFileBytes;
//    dropped files through ReadDroppedFiles and IsDictionaryDrop.
//  - Every text it shows from Texts.h (the run's own messages are the engine's).
#include "windowlogic/AboutAndHelp.h"
#include "windowlogic/CloseFlow.h"
#include "windowlogic/CommandIds.h"
#include "windowlogic/Commands.h"
#include "windowlogic/DictionaryName.h"
#include "windowlogic/DroppedFiles.h"
#include "windowlogic/KeyRules.h"
#include "windowlogic/MenuModel.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/PaneLayout.h"
#include "windowlogic/PaneLook.h"
#include "windowlogic/RunController.h"
#include "windowlogic/SeedField.h"
#include "windowlogic/Texts.h"
#include "windowlogic/WindowPlacement.h"
#include "windowlogic/WindowTitle.h"
