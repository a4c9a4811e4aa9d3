#include "cli/OutputFile.h"

#include <QFileInfo>

namespace quarvel::cli {

QString outputFileProblem(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return QStringLiteral("%1: its folder %2 does not exist or cannot be written").arg(path, folder.filePath());
    if (file.isDir())
        return QStringLiteral("%1: is a folder").arg(path);
    return {};
}

} // namespace quarvel::cli
