#pragma once

#include <optional>
#include <vector>

#include "settings/Settings.h"

namespace quillery {

// A rectangle in screen coordinates (pixels, y downwards).
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    long long Right() const { return static_cast<long long>(left) + width; }
    long long Bottom() const { return static_cast<long long>(top) + height; }
    bool operator==(const Rect&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// The window manager's frame around the client area (title bar at the top).
struct FrameMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The outer rectangle the settings hold. Nothing when nothing was saved: all four keys 0
// (the defaults) or a width or a height of 0. A left or top of 0 is a window at the
// screen's edge, restored like any other.
std::optional<Rect> SavedWindowRect(const Settings& settings);

// What the window's place is decided from.
struct PlacementInput {
    std::optional<Rect> saved;
    // Each screen's work area (the screen less panels and docks), the primary one first.
    std::vector<Rect> workAreas;
    Size defaultOuter;  // the template size with the frame, where nothing is saved
    Size minimumOuter;  // below this the bars or the panes do not show
    // The height of the title bar along the outer rectangle's top; 0 while unknown.
    int titleHeight = 0;
};

// The outer rectangle to open at. A saved rectangle that fits (no larger than a screen's
// work area, its title bar wholly on that work area) is restored as saved, raised to the
// minimum size. One that fits nowhere is shrunk to the work area of the screen it
// overlaps most and moved the least distance that brings it wholly onto it. One on no
// screen at all, or none, opens at the default size centred on the primary screen's
// work area, shrunk to it when larger. With no screen known the rectangle is returned as
// asked for.
Rect PlanWindowRect(const PlacementInput& input);

// The client size for an outer size, once the frame is known; never below `minimum`.
Size ClientSizeFor(Size outer, const FrameMargins& frame, Size minimum);

// What a save at exit records of the window: a minimised or maximised window keeps the
// keys as they are, as does one whose rectangle the window system never told (a window
// never shown must not save a rectangle it never had). The live rectangle is preferred
// to the one first seen.
WindowState WindowStateToSave(bool minimized, bool maximized, const std::optional<Rect>& live,
                              const std::optional<Rect>& firstSeen);

}  // namespace quillery
