// SPDX-License-Identifier: GPL-3.0-or-later
// The controls of the main window, placed in twips as designed and converted
// to pixels at the screen's logical resolution.
#include "MainWindow.h"

#include "dialogs/Twips.h"
#include "window/Icons.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QSlider>
#include <QToolBar>

#include <algorithm>

namespace cp {

QLineEdit* MainWindow::valueField(QWidget* parent, const char* name, int left, int top, int width, const char* text)
{
    auto* field = new QLineEdit(QString::fromUtf8(text), parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setAccessibleName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setFrame(false);
    field->setTextMargins(0, 0, 0, 0);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    // A figure to read, not text to mark: no highlight may stay behind.
    connect(field, &QLineEdit::selectionChanged, field, &QLineEdit::deselect);
    // Looks like a label on the button face; transparent so that a wide
    // caption beside it is never painted over.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    field->setPalette(palette);
    field->setAutoFillBackground(false);
    field->setGeometry(twipsToPixels(*this, left), twipsToPixels(*this, top) - 1, twipsToPixels(*this, width),
                       twipsToPixels(*this, 195) + 2);
    return field;
}

void MainWindow::buildControls()
{
    auto at = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(twipsToPixels(*this, left), twipsToPixels(*this, top), twipsToPixels(*this, width),
                       twipsToPixels(*this, height));
    };
    auto label = [&](QWidget* parent, int index, const char* text, int left, int top, int width) {
        auto* l = new QLabel(QString::fromUtf8(text), parent);
        l->setObjectName(QStringLiteral("Label(%1)").arg(index));
        at(l, left, top, width, 195);
        // Fonts here are wider than the layout's; a caption keeps its whole text.
        l->resize(std::max(l->width(), l->sizeHint().width()), l->height());
        return l;
    };

    // The progress bar lies in the toolbar strip, behind the toolbar until a scan raises it.
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("pgbParsing"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    at(m_progressBar, 15, 30, 6405, 330);

    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("tlbMain"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    // Buttons and pictures grow with the resolution like everything else.
    const int iconSize = twipsToPixels(*this, 240);
    m_toolbar->setIconSize(QSize(iconSize, iconSize));
    m_toolbar->setContentsMargins(0, 0, 0, 0);
    m_toolbar->layout()->setContentsMargins(1, 1, 1, 1);
    m_toolbar->layout()->setSpacing(0);
    m_toolbar->setAutoFillBackground(true);
    at(m_toolbar, 0, 0, 6465, 390);
    const struct {
        const char* tooltip;
        const char* icon;
    } buttons[] = {
        {"Datei öffnen", "open"},
        {"Alle gefundenen Einträge speichern", "saveall"},
        {nullptr, nullptr},
        {"zum vorhergehenden Eintrag springen", "previous"},
        {"Eintrag abspielen", "play"},
        {"Stoppen", "stop"},
        {"aktuellen Eintrag speichern", "save"},
        {"zum nächsten Eintrag springen", "next"},
    };
    for (int i = 1; i <= 8; ++i) {
        const auto& b = buttons[i - 1];
        if (!b.tooltip) {
            m_buttons[std::size_t(i)] = m_toolbar->addSeparator();
            continue;
        }
        QAction* action = m_toolbar->addAction(buttonIcon(QString::fromLatin1(b.icon), iconSize), QString());
        action->setToolTip(QString::fromUtf8(b.tooltip));
        action->setObjectName(QStringLiteral("Button%1").arg(i));
        if (QWidget* w = m_toolbar->widgetForAction(action)) {
            w->setFixedSize(twipsToPixels(*this, 345), twipsToPixels(*this, 330));
            w->setObjectName(QStringLiteral("Button%1").arg(i));
            w->setAccessibleName(QString::fromUtf8(b.tooltip));
        }
        connect(action, &QAction::triggered, this, [this, i] { clickButton(i); });
        m_buttons[std::size_t(i)] = action;
    }
    // Before the first scan only Open can be used.
    for (int i : {SaveAll, Previous, Play, Stop, Save, Next})
        m_buttons[std::size_t(i)]->setEnabled(false);
    m_progressBar->lower();

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, twipsToPixels(*this, 375) - 1, twipsToPixels(*this, 6450), 2);

    m_group[0] = new QGroupBox(QStringLiteral("gesamte Datei"), this);
    m_group[0]->setObjectName(QStringLiteral("Frame(0)"));
    at(m_group[0], 225, 465, 2940, 1230);
    m_group[1] = new QGroupBox(QStringLiteral("aktueller Eintrag"), this);
    m_group[1]->setObjectName(QStringLiteral("Frame(1)"));
    at(m_group[1], 3330, 465, 2940, 1545);

    // One row a figure: caption left, value field right, in twips within its group.
    const struct {
        int frame, labelIndex;
        const char* caption;
        int labelLeft, labelTop, labelWidth;
        QLineEdit* MainWindow::*field;
        const char* name;
        int left, top, width;
        const char* text;
    } rows[] = {
        {0, 0, "Größe:", 180, 300, 480, &MainWindow::m_fileSize, "txtFilesize", 945, 300, 1815, "0 Byte"},
        {0, 1, "Einträge:", 180, 570, 630, &MainWindow::m_entryCount, "txtEntrycount", 2205, 577, 555, "0"},
        {0, 2, "nicht erkannte Daten:", 180, 855, 1545, &MainWindow::m_unknownData, "txtUnknownData", 1860, 855, 900,
         "0%"},
        {1, 5, "Größe:", 150, 285, 480, &MainWindow::m_entrySize, "txtEntrysize", 915, 285, 1815, "0 Byte"},
        {1, 4, "Länge:", 150, 560, 495, &MainWindow::m_entryLength, "txtEntryLength", 660, 555, 2070, "0"},
        {1, 3, "Qualität:", 150, 840, 585, &MainWindow::m_quality, "txtQuality", 855, 840, 1875, "mies"},
        {1, 6, "Status:", 150, 1110, 495, &MainWindow::m_status, "txtStatus", 735, 1110, 1995, "angehalten"},
    };
    for (const auto& row : rows) {
        label(m_group[row.frame], row.labelIndex, row.caption, row.labelLeft, row.labelTop, row.labelWidth);
        this->*row.field = valueField(m_group[row.frame], row.name, row.left, row.top, row.width, row.text);
    }

    // The box keeps its whole caption and tick, and stays clear of the group
    // beside it; where the font is wider it moves left along its line.
    m_loopBox = new QCheckBox(QStringLiteral("Endlos abspielen"), this);
    m_loopBox->setObjectName(QStringLiteral("chkLoop"));
    const QSize boxHint = m_loopBox->sizeHint();
    const int boxWidth = std::max(twipsToPixels(*this, 1515), boxHint.width());
    const int boxHeight = std::max(twipsToPixels(*this, 195), boxHint.height());
    const int boxLeft = std::min(twipsToPixels(*this, 1650), m_group[1]->x() - twipsToPixels(*this, 90) - boxWidth);
    m_loopBox->setGeometry(boxLeft, twipsToPixels(*this, 1815 + 195 / 2) - boxHeight / 2, boxWidth, boxHeight);

    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(twipsToPixels(*this, 240), twipsToPixels(*this, 1905) - 1,
                       boxLeft - twipsToPixels(*this, 30 + 240), 2);
    connect(m_loopBox, &QCheckBox::clicked, this, [this] { loopBoxClicked(); });

    // Display only: nothing reads the slider, so it takes neither focus nor drags.
    m_positionSlider = new QSlider(Qt::Horizontal, this);
    m_positionSlider->setObjectName(QStringLiteral("sldTime"));
    m_positionSlider->setFocusPolicy(Qt::NoFocus);
    m_positionSlider->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_positionSlider->setTickPosition(QSlider::TicksBelow);
    m_positionSlider->setRange(0, 10);
    at(m_positionSlider, 60, 2055, 6360, 510);
}

} // namespace cp
