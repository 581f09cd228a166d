#include "windowlogic/WindowPlacement.h"

#include <algorithm>

namespace quillery {

namespace {

long long Overlap(const Rect& a, const Rect& b) {
    const long long w = std::min(a.Right(), b.Right()) - std::max<long long>(a.left, b.left);
    const long long h = std::min(a.Bottom(), b.Bottom()) - std::max<long long>(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

bool Fits(const Rect& window, const Rect& area, int titleHeight) {
    const Rect title{window.left, window.top, window.width, std::max(1, titleHeight)};
    return window.width <= area.width && window.height <= area.height && Contains(area, title);
}

Size Within(Size size, const Rect& area) {
    return {std::min(size.width, area.width), std::min(size.height, area.height)};
}

Rect Centred(Size size, const Rect& area) {
    const Size s = Within(size, area);
    return {static_cast<int>(area.left + (static_cast<long long>(area.width) - s.width) / 2),
            static_cast<int>(area.top + (static_cast<long long>(area.height) - s.height) / 2),
            s.width, s.height};
}

int Clamp(long long value, long long low, long long high) {
    return static_cast<int>(std::clamp(value, low, std::max(low, high)));
}

}  // namespace

std::optional<Rect> SavedWindowRect(const Settings& s) {
    if (s.windowWidth == 0 || s.windowHeight == 0) {
        return std::nullopt;  // all four 0 is covered: nothing of a size was saved
    }
    return Rect{s.windowX, s.windowY, s.windowWidth, s.windowHeight};
}

Rect PlanWindowRect(const PlacementInput& in) {
    const Size minimum{std::max(in.minimumOuter.width, 1), std::max(in.minimumOuter.height, 1)};
    if (in.workAreas.empty()) {
        // Nothing to hold it to: as saved, else at the default size.
        if (in.saved) {
            return {in.saved->left, in.saved->top, std::max(in.saved->width, minimum.width),
                    std::max(in.saved->height, minimum.height)};
        }
        return {0, 0, in.defaultOuter.width, in.defaultOuter.height};
    }
    const Rect& primary = in.workAreas.front();
    if (!in.saved) {
        return Centred(in.defaultOuter, primary);
    }
    Rect window = *in.saved;
    window.width = std::max(window.width, minimum.width);
    window.height = std::max(window.height, minimum.height);
    const Rect* best = nullptr;
    long long bestOverlap = 0;
    for (const Rect& area : in.workAreas) {
        if (Fits(window, area, in.titleHeight)) {
            return window;
        }
        const long long overlap = Overlap(window, area);
        if (overlap > bestOverlap) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    if (best == nullptr) {
        // On no screen: where nobody could reach it. It opens as an unsaved one does.
        return Centred(in.defaultOuter, primary);
    }
    const Size size = Within({window.width, window.height}, *best);
    return {Clamp(window.left, best->left, best->Right() - size.width),
            Clamp(window.top, best->top, best->Bottom() - size.height), size.width, size.height};
}

Size ClientSizeFor(Size outer, const FrameMargins& frame, Size minimum) {
    return {std::max(outer.width - frame.left - frame.right, minimum.width),
            std::max(outer.height - frame.top - frame.bottom, minimum.height)};
}

WindowState WindowStateToSave(bool minimized, bool maximized, const std::optional<Rect>& live,
                              const std::optional<Rect>& firstSeen) {
    WindowState state;
    state.minimized = minimized;
    state.maximized = maximized;
    const std::optional<Rect>& rect = live ? live : firstSeen;
    if (!rect) {
        state.rectangleKnown = false;
        return state;
    }
    state.left = rect->left;
    state.top = rect->top;
    state.right = static_cast<std::int32_t>(rect->Right());
    state.bottom = static_cast<std::int32_t>(rect->Bottom());
    return state;
}

}  // namespace quillery
