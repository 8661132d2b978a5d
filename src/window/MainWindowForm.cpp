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

namespace layout = mainWindowLayout;

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

QLineEdit* valueField(QWidget* parent, const char* name, const TwipsRect& place)
{
    auto* field = new QLineEdit(parent);
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
    field->setGeometry(twipsToPixels(window, place.left), twipsToPixels(window, place.top) - 1,
                       twipsToPixels(window, place.width), twipsToPixels(window, place.height) + 2);
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
    auto at = [&](QWidget* w, const TwipsRect& place) {
        w->setGeometry(twipsToPixels(window, place.left), twipsToPixels(window, place.top),
                       twipsToPixels(window, place.width), twipsToPixels(window, place.height));
    };
    auto label = [&](QWidget* parent, int index, const char* text, const TwipsRect& place) {
        auto* l = new QLabel(QString::fromUtf8(text), parent);
        l->setObjectName(QStringLiteral("Label(%1)").arg(index));
        at(l, place);
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
    at(progressBar, layout::kProgressBar);

    toolbar = new QToolBar(self);
    toolbar->setObjectName(QStringLiteral("tlbMain"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    // Buttons and pictures grow with the resolution like everything else.
    const int iconSize = twipsToPixels(window, layout::kButtonPicture);
    toolbar->setIconSize(QSize(iconSize, iconSize));
    toolbar->setContentsMargins(0, 0, 0, 0);
    toolbar->layout()->setContentsMargins(1, 1, 1, 1);
    toolbar->layout()->setSpacing(0);
    toolbar->setAutoFillBackground(true);
    at(toolbar, layout::kToolbar);
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
                w->setFixedSize(twipsToPixels(window, layout::kButtonWidth),
                                twipsToPixels(window, layout::kButtonHeight));
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
    line->setGeometry(0, twipsToPixels(window, layout::kToolbarLineTop) - 1,
                      twipsToPixels(window, layout::kToolbarLineWidth), 2);

    const MainWindowView initial;
    for (std::size_t i = 0; i < group.size(); ++i) {
        group[i]
            = new QGroupBox(QString::fromUtf8(i == 0 ? layout::kWholeFileTitle : initial.entryTitle.c_str()), self);
        group[i]->setObjectName(QString::fromLatin1(layout::kGroupNames[i]));
        at(group[i], layout::kGroups[i]);
    }

    for (const FigureRow& row : figureRows()) {
        const QLabel* caption = label(group[row.group], row.labelIndex, row.caption, row.label);
        QLineEdit* field = valueField(group[row.group], row.name, row.field);
        QObject::connect(field, &QLineEdit::textChanged, field,
                         [field, caption, designed = field->geometry()] { fitToText(field, designed, caption); });
        figures[std::size_t(row.figure)] = field;
    }

    // The box keeps its whole caption and tick, and stays clear of the group
    // beside it; where the font is wider it moves left along its line.
    loopBox = new QCheckBox(QStringLiteral("Endlos abspielen"), self);
    loopBox->setObjectName(QStringLiteral("chkLoop"));
    const QSize boxHint = loopBox->sizeHint();
    const TwipsRect& box = layout::kLoopBox;
    const int boxWidth = std::max(twipsToPixels(window, box.width), boxHint.width());
    const int boxHeight = std::max(twipsToPixels(window, box.height), boxHint.height());
    const int boxLeft = std::min(twipsToPixels(window, box.left),
                                 group[1]->x() - twipsToPixels(window, layout::kLoopBoxGap) - boxWidth);
    loopBox->setGeometry(boxLeft, twipsToPixels(window, box.top + box.height / 2) - boxHeight / 2, boxWidth, boxHeight);

    auto* line1 = new QFrame(self);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    const TwipsRect& loopLine = layout::kLoopLine;
    line1->setGeometry(twipsToPixels(window, loopLine.left), twipsToPixels(window, loopLine.top) - 1,
                       boxLeft - twipsToPixels(window, 30 + loopLine.left), 2);

    // Display only: nothing reads the slider, so it takes neither focus nor drags.
    positionSlider = new QSlider(Qt::Horizontal, self);
    positionSlider->setObjectName(QStringLiteral("sldTime"));
    positionSlider->setFocusPolicy(Qt::NoFocus);
    positionSlider->setAttribute(Qt::WA_TransparentForMouseEvents);
    positionSlider->setTickPosition(QSlider::TicksBelow);
    positionSlider->setRange(0, 10);
    at(positionSlider, layout::kSlider);
}

void MainWindowForm::popUpCommandMenu(const QPoint& at, bool usable)
{
    // A disabled menu would not show at all: greyed lines say why nothing can be done.
    setCommandLinesUsable(*commandMenu, usable, action(Command::EntryList));
    commandMenu->popup(at);
}

} // namespace cp
