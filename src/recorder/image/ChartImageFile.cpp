#include "recorder/image/ChartImageFile.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

namespace quarvel {

namespace {
bool endsWith(const QString& path, const char* suffix)
{
    return path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}
} // namespace

bool isChartImageName(const QString& path)
{
    return endsWith(path, ".png") || endsWith(path, ".svg");
}

QString saveChartImage(const QString& path, QSize size, const std::function<void(QPainter&)>& paint)
{
    const QString name = QDir::toNativeSeparators(path);
    if (!isChartImageName(path))
        return QStringLiteral("%1: a chart image is a .png or .svg file").arg(name);
    if (size.width() < 1 || size.height() < 1 || size.width() > 10000 || size.height() > 10000)
        return QStringLiteral("%1: the image size must be 1 to 10000 pixels each way").arg(name);
    QByteArray bytes;
    if (endsWith(path, ".svg")) {
        QBuffer buffer(&bytes);
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Battery Voltage"));
        QPainter painter(&svg);
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        paint(painter);
        painter.end();
        // The generator gives the page in millimetres; a picture of W x H pixels says so.
        static const QRegularExpression pageSize(QStringLiteral("<svg width=\"[^\"]*\" height=\"[^\"]*\""));
        bytes = QString::fromUtf8(bytes)
                    .replace(pageSize, QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(size.width()).arg(size.height()))
                    .toUtf8();
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return QStringLiteral("Cannot draw the chart image %1.").arg(name);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return QStringLiteral("Cannot save the chart image %1: %2").arg(name, error);
    }
    return {};
}

} // namespace quarvel
