#pragma once

#include <cstdint>

namespace quillery {

struct PaneHeights {
    int input = 0;
    int output = 0;
};

// Splits the pane area of height `height` (client height less the status bar) by the
// window ratio in sixths: the input pane gets (height / 6) * ratio, the output pane the
// rest, with integer division first. A negative height counts as zero.
constexpr PaneHeights SplitPaneHeights(std::int32_t height, std::int32_t windowRatio) {
    const std::int64_t share = static_cast<std::int64_t>(height / 6) * windowRatio;
    const std::int32_t input = static_cast<std::int32_t>(share);
    const std::int64_t rest = static_cast<std::int64_t>(height) - input;
    return {input < 0 ? 0 : input, rest < 0 ? 0 : static_cast<int>(rest)};
}

}  // namespace quillery
