// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModalCloseWatch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace cp {

namespace {

std::uint32_t internedAtom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const std::uint32_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

} // namespace

ModalCloseWatch::ModalCloseWatch(QWidget& window) : m_window(window)
{
    // On X11 only; Wayland and the offscreen platform have no such message to watch.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    m_protocols = internedAtom(x11->connection(), "WM_PROTOCOLS");
    m_deleteWindow = internedAtom(x11->connection(), "WM_DELETE_WINDOW");
    if (m_protocols != 0 && m_deleteWindow != 0)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

ModalCloseWatch::~ModalCloseWatch()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool ModalCloseWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* request = static_cast<const xcb_client_message_event_t*>(message);
    if (request->format != 32 || request->type != m_protocols || request->data.data32[0] != m_deleteWindow)
        return false;
    const QWindow* handle = m_window.windowHandle();
    if (!handle || request->window != handle->winId())
        return false;
    const QWindow* modal = QGuiApplication::modalWindow();
    if (!modal || modal == handle)
        return false; // not blocked: Qt passes the close on itself
    // Once Qt has dropped the request: a close from here reaches the window.
    QTimer::singleShot(0, &m_window, [window = &m_window] { window->close(); });
    return false;
}

} // namespace cp
