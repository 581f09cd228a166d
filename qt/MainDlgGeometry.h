#pragma once

#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

#include "windowlogic/WindowPlacement.h"

class QWidget;

namespace quillery {

// The outer rectangle (frame included) of a shown top-level window, asked of the window
// system at the moment of the call. Qt's own frameGeometry() keeps the frame it saw at the
// last move or resize: a window manager that reports its frame later (or sizes its frame
// after the first configure) leaves it at the client rectangle, or at a frame still 1 x 1.
// Empty when the window is not on screen or the window system cannot tell yet; a rectangle
// that does not hold the client area is never returned. In Qt's own (scaled) coordinates,
// as the window is moved and sized, so a scaled program restores what it saved.
std::optional<QRect> LiveOuterRect(const QWidget& window);

// The work area of every screen (the screen less panels and docks), the primary first.
std::vector<Rect> ScreenWorkAreas();

inline Rect ToRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}
inline QRect ToQRect(const Rect& r) {
    return {r.left, r.top, r.width, r.height};
}

}  // namespace quillery
