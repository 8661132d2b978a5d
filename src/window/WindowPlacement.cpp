// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include "logic/WindowPlace.h"
#include "window/Twips.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace cp {

namespace {

constexpr int kFrameWaitMs = 300; // how long a first start waits to learn its frame

QRect screenArea(const QWidget& window)
{
    return (window.screen() ? window.screen() : QGuiApplication::primaryScreen())->geometry();
}

} // namespace

WindowPlacement::WindowPlacement(QWidget& window, SettingsStore& settings, const NumberStyle& style, QSize clientTwips)
    : m_window(window)
    , m_settings(settings)
    , m_style(style)
    , m_clientTwips(clientTwips)
{
}

void WindowPlacement::restore()
{
    const double perPixel = twipsPerPixel(m_window);
    const QRect area = screenArea(m_window);
    const WindowPlace stored = WindowPlace::read(m_settings, m_style);
    m_centreX = !stored.left;
    m_centreY = !stored.top;
    const int x = stored.left.value_or(WindowPlace::centred(qRound(area.width() * perPixel), m_clientTwips.width()));
    const int y = stored.top.value_or(WindowPlace::centred(qRound(area.height() * perPixel), m_clientTwips.height()));
    m_window.move(area.left() + qRound(float(x) / perPixel), area.top() + qRound(float(y) / perPixel));
}

void WindowPlacement::centreOnFrame()
{
    if (!m_centreX && !m_centreY)
        return;
    // The window manager tells the frame's size only once the window is up.
    QElapsedTimer waited;
    waited.start();
    while (m_window.frameGeometry().size() == m_window.size() && waited.elapsed() < kFrameWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const QRect area = screenArea(m_window);
    const QSize frame = m_window.frameGeometry().size();
    m_window.move(m_centreX ? area.left() + (area.width() - frame.width()) / 2 : m_window.x(),
                  m_centreY ? area.top() + (area.height() - frame.height()) / 2 : m_window.y());
}

void WindowPlacement::save()
{
    const double perPixel = twipsPerPixel(m_window);
    WindowPlace {qRound(m_window.pos().x() * perPixel), qRound(m_window.pos().y() * perPixel)}.write(m_settings);
}

} // namespace cp
