#pragma once

namespace quillery {

// The menu commands, named by what they do, valued by their command identifiers.
enum class CommandId : int {
    SaveInput = 1034,
    SaveOutput = 1035,
    Exit = 1005,
    Convert = 1002,
    DebugConvert = 1024,
    Ratio0 = 1006,  // Ratio0 + k sets the insertion ratio to k tenths, k = 0..10
    Ratio100 = 1016,
    Dictionary = 1028,
    WindowRatio1 = 1045,
    WindowRatio2 = 32773,
    WindowRatio3 = 1047,
    WindowRatio4 = 1048,
    WindowRatio5 = 1049,
    BlackBackground = 1050,
    ReadOnly = 1051,
    OnlineHelp = 1052,
    About = 1041,
};

inline constexpr int kInputPaneId = 1003;
inline constexpr int kOutputPaneId = 1004;

// The window-ratio command that sets ratio r, r = 1..5.
constexpr CommandId WindowRatioCommand(int r) {
    constexpr CommandId ids[] = {CommandId::WindowRatio1, CommandId::WindowRatio2,
                                 CommandId::WindowRatio3, CommandId::WindowRatio4,
                                 CommandId::WindowRatio5};
    return ids[r - 1];
}

constexpr CommandId RatioCommand(int k) {
    return static_cast<CommandId>(static_cast<int>(CommandId::Ratio0) + k);
}

}  // namespace quillery
