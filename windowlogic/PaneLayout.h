#pragma once

#include <cstdint>

namespace quillery {

struct PaneSplit {
    int inputHeight = 0;
    int outputTop = 0;  // relative to the pane area's top
    int outputHeight = 0;
};

// Splits the pane area of height `height` (client height less the status bar) by the
// window ratio in sixths: S = (height / 6) * ratio in 32-bit integers, the division
// first. The input pane gets height S, the output pane starts at S and gets the rest.
// A negative height counts as zero; a hand-edited ratio outside 1..5 is used as it is.
constexpr PaneSplit SplitPaneHeights(std::int32_t height, std::int32_t windowRatio) {
    const auto share = static_cast<std::int32_t>(static_cast<std::uint32_t>(height / 6) *
                                                 static_cast<std::uint32_t>(windowRatio));
    const std::int64_t rest = static_cast<std::int64_t>(height) - share;
    return {share < 0 ? 0 : share, share,
            rest < 0 ? 0 : static_cast<int>(rest > INT32_MAX ? INT32_MAX : rest)};
}

}  // namespace quillery
