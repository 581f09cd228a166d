#include "qt/MainDlgGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#ifdef QUILLERY_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace quillery {

namespace {

#ifdef QUILLERY_HAVE_XCB

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The rectangle of `window` relative to the root, border excluded.
std::optional<QRect> RootRect(xcb_connection_t* connection, xcb_window_t window,
                              xcb_window_t* root = nullptr) {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    if (!geometry) {
        return std::nullopt;
    }
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, geometry->root, 0, 0), nullptr));
    if (!origin) {
        return std::nullopt;
    }
    if (root != nullptr) {
        *root = geometry->root;
    }
    return QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
}

std::optional<QRect> X11OuterRect(xcb_connection_t* connection, xcb_window_t client) {
    const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, client), nullptr));
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return std::nullopt;  // not on screen: nothing of it has been seen
    }
    xcb_window_t root = XCB_WINDOW_NONE;
    const std::optional<QRect> inner = RootRect(connection, client, &root);
    if (!inner) {
        return std::nullopt;
    }
    // The extents the window manager reports, when it has reported them.
    static const xcb_atom_t extentsAtom = Atom(connection, "_NET_FRAME_EXTENTS");
    if (extentsAtom != XCB_ATOM_NONE) {
        const Reply<xcb_get_property_reply_t> extents(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, client, extentsAtom, XCB_ATOM_CARDINAL, 0, 4),
            nullptr));
        if (extents && extents->format == 32 && extents->type == XCB_ATOM_CARDINAL &&
            xcb_get_property_value_length(extents.get()) == 16) {
            const auto* e =
                static_cast<const std::uint32_t*>(xcb_get_property_value(extents.get()));
            const QMargins margins(static_cast<int>(e[0]), static_cast<int>(e[2]),
                                   static_cast<int>(e[1]), static_cast<int>(e[3]));
            if (margins.left() < 4096 && margins.right() < 4096 && margins.top() < 4096 &&
                margins.bottom() < 4096) {
                return inner->marginsAdded(margins);
            }
        }
    }
    // Else the frame is the outermost ancestor below the root, once it holds the window.
    xcb_window_t top = client;
    for (;;) {
        const Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection, xcb_query_tree(connection, top), nullptr));
        if (!tree) {
            return std::nullopt;
        }
        if (tree->parent == root || tree->parent == XCB_WINDOW_NONE) {
            break;
        }
        top = tree->parent;
    }
    if (top == client) {
        return inner;  // no frame around it
    }
    const std::optional<QRect> frame = RootRect(connection, top);
    if (!frame || !frame->contains(*inner)) {
        return std::nullopt;  // a frame not yet sized to the window
    }
    return frame;
}

#endif

}  // namespace

std::optional<QRect> LiveOuterRect(const QWidget& window) {
    if (!window.isVisible() || window.windowHandle() == nullptr) {
        return std::nullopt;
    }
#ifdef QUILLERY_HAVE_XCB
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (xcb_connection_t* connection = x11->connection()) {
            const std::optional<QRect> device =
                X11OuterRect(connection, static_cast<xcb_window_t>(window.winId()));
            const qreal ratio = window.devicePixelRatioF();
            if (!device || ratio == 1.0) {
                return device;
            }
            return QRect(qRound(device->x() / ratio), qRound(device->y() / ratio),
                         qRound(device->width() / ratio), qRound(device->height() / ratio));
        }
    }
#endif
    const QRect outer = window.frameGeometry();
    if (!outer.contains(window.geometry())) {
        return std::nullopt;
    }
    return outer;
}

std::vector<Rect> ScreenWorkAreas() {
    std::vector<Rect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        areas.push_back(ToRect(primary->availableGeometry()));
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) {
            areas.push_back(ToRect(screen->availableGeometry()));
        }
    }
    return areas;
}

}  // namespace quillery
