// SPDX-License-Identifier: GPL-3.0-or-later
// Play, Stop, the loop box and the 100 ms timer that shows the device's state.
#include "MainWindow.h"

#include "playback/WaveDevice.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>

#include <limits>

namespace cp {

void MainWindow::playCommand()
{
    const EntryTable& table = m_context.table;
    if (table.CurrentEntry < 1 || table.CurrentEntry > table.EntryCount)
        return;
    if (loopValue() != 0) {
        m_context.player.loop(table.entryFile(table.CurrentEntry));
    } else {
        m_context.device.command("Prev");
        m_context.device.command("Play");
    }
}

void MainWindow::stopCommand()
{
    m_context.device.command("Stop");
    m_context.device.command("Prev");
    m_context.player.stop();
}

QString MainWindow::GetStringOfNumber(int mode)
{
    return QString::fromStdString(cp::GetStringOfNumber(mode));
}

int MainWindow::loopValue() const
{
    switch (m_chkLoop->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void MainWindow::tmrPlay_Timer()
{
    const PlaybackTick tick = TickPlayback(m_context.device, m_context.table.CurrentEntry, loopValue());
    m_sldTime->setValue(int(std::min<std::int64_t>(tick.sliderValue, std::numeric_limits<int>::max())));
    m_txtStatus->setText(QString::fromStdString(tick.status));
    setButton(Play, tick.playEnabled);
    setButton(Stop, tick.stopEnabled);
}

void MainWindow::chkLoop_Click()
{
    // Once clicked, the box only knows ticked and unticked.
    m_chkLoop->setTristate(false);
    m_context.player.stop();
}

} // namespace cp
