// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace cp {

// A notice the user may switch off: the program's icon, the text, the box
// "Diese Meldung nie wieder zeigen" and OK. Passive: whoever shows it reads
// the box afterwards and keeps the choice. OK and Enter accept; a close
// through the title bar rejects, and then the box counts as unticked.
class NoticeDialog final : public QDialog {
public:
    explicit NoticeDialog(QWidget* owner = nullptr);

    void setText(const QString& text);
    // Ticked and confirmed: only then is the notice to stay away.
    bool neverAgain() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showApplicationCaption();
    void confirm();

    QLabel* m_icon = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QCheckBox* m_showAgainBox = nullptr;
    QPushButton* m_okButton = nullptr;
};

} // namespace cp
