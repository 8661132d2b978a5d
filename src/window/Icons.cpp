// SPDX-License-Identifier: GPL-3.0-or-later
#include "Icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures live in a static library, where nothing else would pull them in.
static void loadPictures()
{
    [[maybe_unused]] static const bool loaded = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
}

namespace cp {

namespace {
QPixmap render(const QString& resource, int size)
{
    loadPictures();
    QSvgRenderer renderer(resource);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

// A disabled button shows its picture greyed and faded.
QPixmap greyed(const QPixmap& pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return QPixmap::fromImage(image);
}
} // namespace

QIcon applicationIcon()
{
    QIcon icon;
    icon.addPixmap(render(QStringLiteral(":/icons/chunkpicker.svg"), 16));
    icon.addPixmap(render(QStringLiteral(":/icons/chunkpicker.svg"), 32));
    return icon;
}

QByteArray applicationIconSvg()
{
    loadPictures();
    QFile file(QStringLiteral(":/icons/chunkpicker.svg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QIcon buttonIcon(const QString& name, int size)
{
    const QPixmap normal = render(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"), size);
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(greyed(normal), QIcon::Disabled);
    return icon;
}

} // namespace cp
