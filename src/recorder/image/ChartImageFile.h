#pragma once

#include <QSize>
#include <QString>

#include <functional>

class QPainter;

namespace quarvel {

// Writes a picture as a PNG or SVG file, chosen by the name's ending (.png or .svg). The picture
// is drawn by `paint` on a white page of `size` pixels. The file is replaced only once it is
// complete. Returns a message, empty on success.
QString saveChartImage(const QString& path, QSize size, const std::function<void(QPainter&)>& paint);

// Whether a file name asks for a picture this can write.
bool isChartImageName(const QString& path);

} // namespace quarvel
