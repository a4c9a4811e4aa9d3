#include "programmer/BitsChange.h"

#include "programmer/ProgrammerTexts.h"

#include <QStringList>

namespace quarvel {

namespace {

QString changedBits(quint8 from, quint8 to)
{
    QStringList bits;
    for (int b = 0; b < 8; ++b) {
        if (((from ^ to) >> b) & 1)
            bits.append(QString::number(b));
    }
    if (bits.isEmpty())
        return QStringLiteral("no bit changes");
    if (bits.size() == 1)
        return QStringLiteral("bit %1 changes").arg(bits.first());
    const QString last = bits.takeLast();
    return QStringLiteral("bits %1 and %2 change").arg(bits.join(QStringLiteral(", ")), last);
}

} // namespace

bool locksLoaderOut(quint8 lock)
{
    return (lock & kLoaderAccessLockBits) != kLoaderAccessLockBits;
}

QString loaderLockoutWarning()
{
    return QStringLiteral("These lock bits clear BLB01 or BLB02: the boot loader could then never again write or read "
                          "the application, and only an ISP programmer could bring the instrument back.");
}

QString bitsReadBackDifference(bool fuse, quint8 written, const QString& readBack)
{
    return QStringLiteral("%1 %2 were written but %3 read back")
        .arg(fuse ? QStringLiteral("fuse bits") : QStringLiteral("lock bits"), hexByte(written), readBack);
}

QString bitsWriteQuestion(bool fuse, std::optional<quint8> current, quint8 value)
{
    const QString what = fuse ? QStringLiteral("fuse bits") : QStringLiteral("lock bits");
    QString text = QStringLiteral("Write the %1 %2? ").arg(what, hexByte(value));
    text += current ? QStringLiteral("They are now %1: %2.").arg(hexByte(*current), changedBits(*current, value))
                    : QStringLiteral("Their current value is not known.");
    if (fuse)
        text += QStringLiteral(" A wrong fuse value can stop the instrument from starting.");
    else if (locksLoaderOut(value))
        text += QLatin1Char(' ') + loaderLockoutWarning();
    return text;
}

} // namespace quarvel
