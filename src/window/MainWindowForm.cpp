// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowForm.h"

#include "window/Twips.h"
#include "window/Icons.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSlider>
#include <QToolBar>

#include <algorithm>
#include <functional>

namespace cp {

namespace {

// A command's keys as Qt's.
QList<QKeySequence> keySequences(const CommandInfo& info)
{
    static const std::pair<Key, Qt::Key> kKeys[] = {
        {Key::O, Qt::Key_O},           {Key::S, Qt::Key_S},           {Key::Left, Qt::Key_Left},
        {Key::PageUp, Qt::Key_PageUp}, {Key::Return, Qt::Key_Return}, {Key::Enter, Qt::Key_Enter},
        {Key::Escape, Qt::Key_Escape}, {Key::Right, Qt::Key_Right},   {Key::PageDown, Qt::Key_PageDown},
        {Key::Home, Qt::Key_Home},     {Key::End, Qt::Key_End},       {Key::F4, Qt::Key_F4},
    };
    QList<QKeySequence> sequences;
    for (const KeyStroke& stroke : info.keys) {
        for (const auto& [key, qtKey] : kKeys) {
            if (key != stroke.key)
                continue;
            Qt::KeyboardModifiers modifiers;
            if (stroke.modifiers & Control)
                modifiers |= Qt::ControlModifier;
            if (stroke.modifiers & Shift)
                modifiers |= Qt::ShiftModifier;
            sequences << QKeySequence(QKeyCombination(modifiers, qtKey));
        }
    }
    return sequences;
}

} // namespace

namespace {

QLineEdit* valueField(QWidget* parent, const char* name, int left, int top, int width, const char* text)
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
    QObject::connect(field, &QLineEdit::selectionChanged, field, &QLineEdit::deselect);
    // Looks like a label on the button face; transparent so that a wide
    // caption beside it is never painted over.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    field->setPalette(palette);
    field->setAutoFillBackground(false);
    const QWidget& window = *parent->window();
    field->setGeometry(twipsToPixels(window, left), twipsToPixels(window, top) - 1, twipsToPixels(window, width),
                       twipsToPixels(window, 195) + 2);
    return field;
}

// Widens a figure's field to its text, so that a large figure never reads
// as another number with its first digits cut off: to the left as far as
// its caption, then to the right as far as its group's edge. The field keeps
// its designed place wherever the text fits there.
void fitToText(QLineEdit* field, const QRect& designed, const QLabel* caption)
{
    constexpr int kMargins = 2 * 2 + 1; // the field's own margin each side, and room for its cursor
    const int needed = field->fontMetrics().horizontalAdvance(field->text()) + kMargins;
    QRect place = designed;
    if (needed > place.width()) {
        const int gap = field->fontMetrics().horizontalAdvance(QLatin1Char(' '));
        place.setLeft(std::max(caption->geometry().right() + 1 + gap, designed.right() + 1 - needed));
        place.setRight(std::max(place.right(),
                                std::min(place.left() + needed - 1, field->parentWidget()->contentsRect().right())));
    }
    if (place != field->geometry())
        field->setGeometry(place);
    // Where even that is too narrow (a rate no sound has), the figure is set smaller rather than cut.
    QFont font = field->parentWidget()->font();
    while (QFontMetrics(font).horizontalAdvance(field->text()) + kMargins > place.width() && font.pointSizeF() > 4)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    field->setFont(font);
}

// The menu's command lines usable as their commands are, or all greyed but
// the entry list's: a window of its own, which opens during a scan too.
void setCommandLinesUsable(QMenu& menu, bool usable, const QAction* entryList)
{
    for (QAction* item : menu.actions())
        if (auto* command = qobject_cast<QAction*>(item->data().value<QObject*>()))
            item->setEnabled((usable || command == entryList) && command->isEnabled());
}

} // namespace

int MainWindowForm::loopValue() const
{
    switch (loopBox->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void MainWindowForm::setLoopValue(int value)
{
    loopBox->setTristate(value == 2);
    loopBox->setCheckState(value == 2 ? Qt::PartiallyChecked : value == 1 ? Qt::Checked : Qt::Unchecked);
}

void MainWindowForm::build(QWidget& window, const std::function<void(Command)>& run)
{
    QWidget* const self = &window;
    auto at = [&](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(twipsToPixels(window, left), twipsToPixels(window, top), twipsToPixels(window, width),
                       twipsToPixels(window, height));
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
    progressBar = new QProgressBar(self);
    progressBar->setObjectName(QStringLiteral("pgbParsing"));
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    at(progressBar, 15, 30, 6405, 330);

    toolbar = new QToolBar(self);
    toolbar->setObjectName(QStringLiteral("tlbMain"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    // Buttons and pictures grow with the resolution like everything else.
    const int iconSize = twipsToPixels(window, 240);
    toolbar->setIconSize(QSize(iconSize, iconSize));
    toolbar->setContentsMargins(0, 0, 0, 0);
    toolbar->layout()->setContentsMargins(1, 1, 1, 1);
    toolbar->layout()->setSpacing(0);
    toolbar->setAutoFillBackground(true);
    at(toolbar, 0, 0, 6465, 390);
    commandMenu = new QMenu(self);
    commandMenu->setObjectName(QStringLiteral("mnuCommands"));
    for (const CommandInfo& info : windowCommands()) {
        const QString text = QString::fromUtf8(info.text);
        QAction* action = nullptr;
        if (info.picture) {
            if (info.separatorBefore)
                toolbar->addSeparator();
            action = toolbar->addAction(buttonIcon(QString::fromLatin1(info.picture), iconSize), QString());
            action->setToolTip(text);
            action->setObjectName(QString::fromLatin1(info.objectName));
            if (QWidget* w = toolbar->widgetForAction(action)) {
                w->setFixedSize(twipsToPixels(window, 345), twipsToPixels(window, 330));
                w->setObjectName(QString::fromLatin1(info.objectName));
                w->setAccessibleName(text);
            }
        } else {
            action = new QAction(text, self);
            window.addAction(action);
        }
        action->setShortcuts(keySequences(info));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(usableWithoutFile(info.command));
        QObject::connect(action, &QAction::triggered, self, [run, command = info.command] { run(command); });
        actions[std::size_t(info.command)] = action;

        if (info.separatorBefore)
            commandMenu->addSeparator();
        QAction* item = commandMenu->addAction(text + QLatin1Char('\t') + QString::fromUtf8(info.keysShown));
        item->setData(QVariant::fromValue<QObject*>(action));
        item->setEnabled(action->isEnabled());
        QObject::connect(action, &QAction::enabledChanged, item, &QAction::setEnabled);
        QObject::connect(item, &QAction::triggered, action, &QAction::trigger);
    }
    // Greyed for a scan, the lines follow their commands again once the menu goes.
    QObject::connect(commandMenu, &QMenu::aboutToHide, commandMenu,
                     [this] { setCommandLinesUsable(*commandMenu, true, action(Command::EntryList)); });
    progressBar->lower();

    auto* line = new QFrame(self);
    line->setObjectName(QStringLiteral("Line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, twipsToPixels(window, 375) - 1, twipsToPixels(window, 6450), 2);

    group[0] = new QGroupBox(QStringLiteral("gesamte Datei"), self);
    group[0]->setObjectName(QStringLiteral("Frame(0)"));
    at(group[0], 225, 465, 2940, 1230);
    group[1] = new QGroupBox(QStringLiteral("aktueller Eintrag"), self);
    group[1]->setObjectName(QStringLiteral("Frame(1)"));
    at(group[1], 3330, 465, 2940, 1545);

    // One row a figure: caption left, value field right, in twips within its group.
    const struct {
        int frame, labelIndex;
        const char* caption;
        int labelLeft, labelTop, labelWidth;
        QLineEdit* MainWindowForm::*field;
        const char* name;
        int left, top, width;
        const char* text;
    } rows[] = {
        {0, 0, "Größe:", 180, 300, 480, &MainWindowForm::fileSize, "txtFilesize", 945, 300, 1815, "0 Byte"},
        {0, 1, "Einträge:", 180, 570, 630, &MainWindowForm::entryCount, "txtEntrycount", 2205, 577, 555, "0"},
        {0, 2, "nicht erkannte Daten:", 180, 855, 1545, &MainWindowForm::unknownData, "txtUnknownData", 1860, 855, 900,
         "0%"},
        {1, 5, "Größe:", 150, 285, 480, &MainWindowForm::entrySize, "txtEntrysize", 915, 285, 1815, "0 Byte"},
        {1, 4, "Länge:", 150, 560, 495, &MainWindowForm::entryLength, "txtEntryLength", 660, 555, 2070, "0"},
        {1, 3, "Qualität:", 150, 840, 585, &MainWindowForm::quality, "txtQuality", 855, 840, 1875, "mies"},
        {1, 6, "Status:", 150, 1110, 495, &MainWindowForm::status, "txtStatus", 735, 1110, 1995, "angehalten"},
    };
    for (const auto& row : rows) {
        const QLabel* caption
            = label(group[row.frame], row.labelIndex, row.caption, row.labelLeft, row.labelTop, row.labelWidth);
        QLineEdit* field = valueField(group[row.frame], row.name, row.left, row.top, row.width, row.text);
        QObject::connect(field, &QLineEdit::textChanged, field,
                         [field, caption, designed = field->geometry()] { fitToText(field, designed, caption); });
        this->*row.field = field;
    }

    // The box keeps its whole caption and tick, and stays clear of the group
    // beside it; where the font is wider it moves left along its line.
    loopBox = new QCheckBox(QStringLiteral("Endlos abspielen"), self);
    loopBox->setObjectName(QStringLiteral("chkLoop"));
    const QSize boxHint = loopBox->sizeHint();
    const int boxWidth = std::max(twipsToPixels(window, 1515), boxHint.width());
    const int boxHeight = std::max(twipsToPixels(window, 195), boxHint.height());
    const int boxLeft = std::min(twipsToPixels(window, 1650), group[1]->x() - twipsToPixels(window, 90) - boxWidth);
    loopBox->setGeometry(boxLeft, twipsToPixels(window, 1815 + 195 / 2) - boxHeight / 2, boxWidth, boxHeight);

    auto* line1 = new QFrame(self);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    line1->setGeometry(twipsToPixels(window, 240), twipsToPixels(window, 1905) - 1,
                       boxLeft - twipsToPixels(window, 30 + 240), 2);

    // Display only: nothing reads the slider, so it takes neither focus nor drags.
    positionSlider = new QSlider(Qt::Horizontal, self);
    positionSlider->setObjectName(QStringLiteral("sldTime"));
    positionSlider->setFocusPolicy(Qt::NoFocus);
    positionSlider->setAttribute(Qt::WA_TransparentForMouseEvents);
    positionSlider->setTickPosition(QSlider::TicksBelow);
    positionSlider->setRange(0, 10);
    at(positionSlider, 60, 2055, 6360, 510);
}

void MainWindowForm::popUpCommandMenu(const QPoint& at, bool usable)
{
    // A disabled menu would not show at all: greyed lines say why nothing can be done.
    setCommandLinesUsable(*commandMenu, usable, action(Command::EntryList));
    commandMenu->popup(at);
}

} // namespace cp
