// SPDX-License-Identifier: GPL-3.0-or-later
// The folder picker: the one place that asks the user for a folder.
#include "QtUserDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace cp {

QString browseForFolder(QWidget* owner, const QString& title, const QString& initialPath)
{
    QFileDialog dialog(owner, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Opening in the folder selects it: confirming at once returns it. Without
    // one the dialog starts wherever the platform's starts.
    if (!initialPath.isEmpty() && QDir(initialPath).exists())
        dialog.setDirectory(initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtUserDialogs::browseForFolder(DialogOwner owner, const std::string& title,
                                                          const std::string& initialPath)
{
    const QString folder
        = cp::browseForFolder(this->owner(owner), QString::fromStdString(title), pathText(initialPath));
    if (folder.isEmpty())
        return std::nullopt;
    return pathBytes(folder);
}

} // namespace cp
