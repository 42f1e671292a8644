#include "shell/FrameExtents.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace varnelle {

namespace {

// How long a window manager that promised an answer may take to give it.
constexpr int kAnswerPolls = 50;
constexpr unsigned long kPollMicroseconds = 4000;

template <class Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

ReplyPtr<xcb_get_property_reply_t> cardinals(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                                             xcb_atom_t type, uint32_t count)
{
    return ReplyPtr<xcb_get_property_reply_t>(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, property, type, 0, count), nullptr),
        &std::free);
}

bool supports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t wanted)
{
    const auto supported = cardinals(connection, root, atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    if (!supported || supported->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(supported.get()));
    return std::find(atoms, atoms + supported->value_len, wanted) != atoms + supported->value_len;
}

// The extents the window manager sets on the window, or nullopt until it has.
std::optional<QMargins> extentsOf(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t extents)
{
    const auto reply = cardinals(connection, window, extents, XCB_ATOM_CARDINAL, 4);
    if (!reply || reply->format != 32 || reply->value_len != 4)
        return std::nullopt;
    const auto* sides = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    // Left, right, top, bottom.
    return QMargins(int(sides[0]), int(sides[2]), int(sides[1]), int(sides[3]));
}

// A client message about `window` to the window manager, as EWMH sends
// requests: to the root window, for the window manager to intercept.
void sendToWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                         const std::array<uint32_t, 5>& data)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

std::optional<QMargins> askWindowManager(QWidget* window)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    if (!screen || !supports(connection, screen->root, request))
        return std::nullopt;
    // Only then is the window created: a window manager that places windows
    // itself (weston's) honours only the position a window is created with.
    const auto client = xcb_window_t(window->winId());

    sendToWindowManager(connection, screen->root, client, request, {});
    xcb_flush(connection);
    for (int poll = 0; poll < kAnswerPolls; ++poll) {
        if (const std::optional<QMargins> answer = extentsOf(connection, client, extents))
            return answer;
        QThread::usleep(kPollMicroseconds);
    }
    return std::nullopt;
}

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool isWestonWindowManager()
{
    xcb_connection_t* connection = x11Connection();
    const xcb_screen_t* screen = connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data : nullptr;
    if (!screen)
        return false;
    const auto check =
        cardinals(connection, screen->root, atom(connection, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW, 1);
    if (!check || check->format != 32 || check->value_len != 1)
        return false;
    const xcb_window_t manager = *static_cast<const xcb_window_t*>(xcb_get_property_value(check.get()));
    const auto name =
        cardinals(connection, manager, atom(connection, "_NET_WM_NAME"), atom(connection, "UTF8_STRING"), 16);
    if (!name || name->format != 8)
        return false;
    const char* text = static_cast<const char*>(xcb_get_property_value(name.get()));
    return QByteArray(text, xcb_get_property_value_length(name.get())) == "Weston WM";
}

} // namespace

bool raisesOnlyWhenMapping()
{
    // Every show asks, the error window's at each wrong click: the window
    // manager is asked once, as it stays the same for the whole run.
    static const bool weston = isWestonWindowManager();
    return weston;
}

bool leaveForcedSize(QWidget* window)
{
    xcb_connection_t* connection = window->windowHandle() ? x11Connection() : nullptr;
    const xcb_screen_t* screen = connection ? xcb_setup_roots_iterator(xcb_get_setup(connection)).data : nullptr;
    if (!screen)
        return false;
    const auto client = xcb_window_t(window->winId());
    // _NET_WM_STATE takes two states at most: remove (0) them, asked by an
    // application (1).
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    sendToWindowManager(
        connection, screen->root, client, state,
        {0, atom(connection, "_NET_WM_STATE_MAXIMIZED_VERT"), atom(connection, "_NET_WM_STATE_MAXIMIZED_HORZ"), 1, 0});
    sendToWindowManager(connection, screen->root, client, state,
                        {0, atom(connection, "_NET_WM_STATE_FULLSCREEN"), XCB_ATOM_NONE, 1, 0});
    xcb_flush(connection);
    return true;
}

QMargins frameMarginsOf(QWidget* window)
{
    // An X11 window that no window manager frames yet has no margins to
    // tell; creating it early would only cost it its position.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return {};
    window->winId();
    return window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
}

std::optional<QMargins> frameExtentsBeforeShowing(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    return askWindowManager(window);
}

} // namespace varnelle
