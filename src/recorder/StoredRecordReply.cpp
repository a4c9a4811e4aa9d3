#include "recorder/StoredRecordReply.h"

#include "recorder/RecordArithmetic.h"

namespace quarvel {

std::vector<QString> StoredRecordReply::lines(const QString& reply, int maxLines)
{
    // getField trims blanks from both ends of the reply, then takes line j from two characters
    // after the (j-1)-th CR, skips its leading blanks and cuts it at the next CR or LF.
    qsizetype begin = 0;
    qsizetype end = reply.size();
    while (begin < end && reply.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && reply.at(end - 1) == QLatin1Char(' '))
        --end;
    std::vector<QString> out;
    qsizetype pos = begin;
    while (static_cast<int>(out.size()) < maxLines) {
        const qsizetype cr = reply.indexOf(QLatin1Char('\r'), pos);
        if (cr < 0 || cr >= end)
            break;
        qsizetype start = cr + 2;
        pos = cr + 1;
        while (start < end && reply.at(start) == QLatin1Char(' '))
            ++start;
        qsizetype stop = start;
        QString line;
        while (stop < end && reply.at(stop) != QLatin1Char('\r') && reply.at(stop) != QLatin1Char('\n')) {
            const QChar c = reply.at(stop);
            line.append(c == QChar(0) ? QChar(' ') : c);
            ++stop;
        }
        if (line.isEmpty())
            break;
        out.push_back(line);
    }
    return out;
}

std::vector<std::optional<double>> StoredRecordReply::values(const QString& reply, int maxValues)
{
    std::vector<std::optional<double>> out;
    for (const QString& line : lines(reply, maxValues)) {
        // The value goes through a single, as the instrument's numbers always have.
        const auto number = numberOf(line);
        out.push_back(number ? numberOf(singleText(static_cast<float>(*number))) : std::nullopt);
    }
    return out;
}

} // namespace quarvel
