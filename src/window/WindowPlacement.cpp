// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowPlacement.h"

#include "logic/SettingsStore.h"
#include "dialogs/Twips.h"

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
    const auto centre
        = [&](int screenPixels, int windowTwips) { return (qRound(screenPixels * perPixel) - windowTwips) / 2; };
    const std::optional<double> storedX = m_settings.number("WindowPosX", m_style);
    const std::optional<double> storedY = m_settings.number("WindowPosY", m_style);
    m_centreX = !storedX;
    m_centreY = !storedY;
    const double x = storedX.value_or(centre(area.width(), m_clientTwips.width()));
    const double y = storedY.value_or(centre(area.height(), m_clientTwips.height()));
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
    m_settings.setValue("WindowPosX", std::to_string(qRound(m_window.pos().x() * perPixel)));
    m_settings.setValue("WindowPosY", std::to_string(qRound(m_window.pos().y() * perPixel)));
}

} // namespace cp
