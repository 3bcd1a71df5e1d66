#include "app/gui/Pictures.h"

#include "app/JpegImage.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QImage placementPicture(const QString& name)
{
    QFile file(QStringLiteral(":/JPEG/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = decodeJpeg(file.readAll());
    if (!decoded)
        return {};
    const QImage view(reinterpret_cast<const uchar*>(decoded->rgb.constData()), decoded->width, decoded->height,
                      decoded->width * 3, QImage::Format_RGB888);
    return view.copy();  // the bytes go away with `decoded`
}

QIcon toolIcon(const QString& name)
{
    QSvgRenderer renderer(QStringLiteral(":/icons/") + name + QStringLiteral(".svg"));
    if (!renderer.isValid())
        return {};
    QIcon icon;
    for (const int size : {32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
