#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtTest>

namespace quarvel::test {

// Writes a whole file for a test; fails the calling test when it cannot.
inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The whole file, or nothing when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace quarvel::test
