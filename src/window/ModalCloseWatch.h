// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractNativeEventFilter>

#include <cstdint>

class QWidget;

namespace cp {

// Qt drops the title bar's close of a window that a modal dialog blocks
// (the replace question, the progress of a copy), so that the click would do
// nothing. This passes it on as the window's close, which ends the dialog as
// its cancel does and then the window, as a signal does. Where the platform
// lets a blocked window take no close at all, it watches nothing.
class ModalCloseWatch final : public QAbstractNativeEventFilter {
public:
    explicit ModalCloseWatch(QWidget& window);
    ~ModalCloseWatch() override;
    ModalCloseWatch(const ModalCloseWatch&) = delete;
    ModalCloseWatch& operator=(const ModalCloseWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget& m_window;
    std::uint32_t m_protocols = 0, m_deleteWindow = 0; // the window manager's words for a close
};

} // namespace cp
