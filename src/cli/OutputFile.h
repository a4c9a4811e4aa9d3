#pragma once

#include <QString>

namespace quarvel::cli {

// Why a file cannot be written at path (its folder is missing or not writable, or the path is a
// folder), or empty. Checked before anything is sent, so no work is done only to be lost.
QString outputFileProblem(const QString& path);

} // namespace quarvel::cli
