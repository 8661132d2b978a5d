// SPDX-License-Identifier: GPL-3.0-or-later
// Play, Stop, the loop box and the 100 ms timer that shows the device's state.
#include "MainWindow.h"

#include "playback/EntryPlayer.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>

#include <limits>

namespace cp {

void MainWindow::playCommand()
{
    if (m_entries.hasCurrent())
        m_context.player.play(m_entries.currentFile(), m_form.loopValue() != 0);
}

void MainWindow::stopCommand()
{
    m_context.player.stop();
}

void MainWindow::showPlayback()
{
    const PlaybackTick tick = m_context.player.tick(m_entries.current(), m_form.loopValue() != 0);
    m_form.positionSlider->setValue(int(std::min<std::int64_t>(tick.sliderValue, std::numeric_limits<int>::max())));
    m_form.status->setText(QString::fromStdString(tick.status));
    setButton(Play, tick.playEnabled);
    setButton(Stop, tick.stopEnabled);
}

void MainWindow::loopBoxClicked()
{
    // Once clicked, the box only knows ticked and unticked.
    m_form.loopBox->setTristate(false);
    m_context.player.stopLoop();
}

} // namespace cp
