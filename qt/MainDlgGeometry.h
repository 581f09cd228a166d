#pragma once

#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

namespace quillery {

// The outer rectangle (frame included) of a shown top-level window, asked of the window
// system at the moment of the call. Qt's own frameGeometry() keeps the frame it saw at the
// last move or resize: a window manager that reports its frame later (or sizes its frame
// after the first configure) leaves it at the client rectangle, or at a frame still 1 x 1.
// Empty when the window is not on screen or the window system cannot tell yet; a rectangle
// that does not hold the client area is never returned.
std::optional<QRect> LiveOuterRect(const QWidget& window);

// Whether any part of `outer` lies on a screen.
bool IsOnAnyScreen(const QRect& outer);

}  // namespace quillery
