#include "windowlogic/Commands.h"

#include "settings/Settings.h"

namespace quillery {

WindowAction ApplyCommand(Settings& settings, CommandId id, bool runActive) {
    const int value = static_cast<int>(id);
    if (value >= static_cast<int>(CommandId::Ratio0) &&
        value <= static_cast<int>(CommandId::Ratio100)) {
        settings.insertRatio = value - static_cast<int>(CommandId::Ratio0);
        return WindowAction::Refresh;
    }
    for (int r = 1; r <= 5; ++r) {
        if (id == WindowRatioCommand(r)) {
            settings.windowRatio = r;
            return WindowAction::LayoutAndRefresh;
        }
    }
    switch (id) {
        case CommandId::BlackBackground:
            settings.blackBackground = settings.blackBackground == 1 ? 0 : 1;
            return WindowAction::RefreshAndRepaint;
        case CommandId::ReadOnly:
            settings.editReadOnly = settings.editReadOnly == 1 ? 0 : 1;
            return WindowAction::Refresh;
        case CommandId::Convert:
            if (runActive) {
                return WindowAction::None;
            }
            settings.debugRun = 0;
            return WindowAction::StartRun;
        case CommandId::DebugConvert:
            return runActive ? WindowAction::None : WindowAction::DebugConvert;
        case CommandId::SaveInput:
            return WindowAction::SaveInput;
        case CommandId::SaveOutput:
            return WindowAction::SaveOutput;
        case CommandId::Exit:
            return WindowAction::Exit;
        case CommandId::Dictionary:
            return WindowAction::Dictionary;
        case CommandId::OnlineHelp:
            return WindowAction::OnlineHelp;
        case CommandId::About:
            return WindowAction::About;
        default:
            return WindowAction::None;
    }
}

}  // namespace quillery
