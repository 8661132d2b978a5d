// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoticeDialog.h"

#include "Twips.h"

#include "base/CommandLine.h"
#include "logic/WindowLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace cp {

NoticeDialog::NoticeDialog(QWidget* owner)
    : QDialog(owner,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmMessage"));
    QFont small = font(); // the size the layout was drawn for, as in the main window
    small.setPointSizeF(8);
    setFont(small);
    auto at = [this](QWidget* w, const TwipsRect& place) {
        w->setGeometry(twipsToPixels(*this, place.left), twipsToPixels(*this, place.top),
                       twipsToPixels(*this, place.width), twipsToPixels(*this, place.height));
    };
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("Image1"));
    at(m_icon, noticeLayout::kIcon);
    m_icon->setPixmap(QApplication::windowIcon().pixmap(m_icon->size()));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Label"));
    at(m_text, noticeLayout::kText);
    m_text->setReadOnly(true);
    m_text->setFocusPolicy(Qt::NoFocus); // no tab stop: the focus starts on the box
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->document()->setDocumentMargin(0);
    QPalette face = m_text->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    m_text->setPalette(face);

    m_showAgainBox = new QCheckBox(QString::fromUtf8(noticeLayout::kNeverAgain), this);
    m_showAgainBox->setObjectName(QStringLiteral("chkShowAgain"));
    at(m_showAgainBox, noticeLayout::kNeverAgainBox);
    m_showAgainBox->resize(m_showAgainBox->size().expandedTo(m_showAgainBox->sizeHint()));

    // Made after the box, so the tab goes from the box to OK.
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("bttnOK"));
    at(m_okButton, noticeLayout::kOkButton);
    m_okButton->setAutoDefault(false); // Enter is handled below, wherever the focus is
    connect(m_okButton, &QPushButton::clicked, this, [this] { confirm(); });

    setFixedSize(twipsToPixels(*this, noticeLayout::kWidth), twipsToPixels(*this, noticeLayout::kHeight));
    m_showAgainBox->setFocus();
    showApplicationCaption();
}

void NoticeDialog::showApplicationCaption()
{
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
}

void NoticeDialog::setText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(shown);
}

bool NoticeDialog::neverAgain() const
{
    return result() == QDialog::Accepted && m_showAgainBox->isChecked();
}

void NoticeDialog::confirm()
{
    accept();
}

void NoticeDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        confirm();
    else
        QDialog::keyPressEvent(event);
}

} // namespace cp
