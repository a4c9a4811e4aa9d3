#include "programmer/LoaderReplies.h"

#include "link/SerialPort.h"
#include "programmer/ProgrammerTexts.h"

namespace quarvel::loaderreply {

bool echoed(const QByteArray& reply, char letter)
{
    return !reply.isEmpty() && reply.at(0) == letter;
}

std::optional<QString> textAfterEcho(const QByteArray& reply, char letter)
{
    if (!echoed(reply, letter))
        return std::nullopt;
    return fromWire(reply.mid(1));
}

std::optional<QString> bitsAfterEcho(const QByteArray& reply, char letter)
{
    if (reply.size() < 2 || !echoed(reply, letter))
        return std::nullopt;
    return hexByte(static_cast<quint8>(reply.at(1)));
}

QList<int> signatureBytes(const QByteArray& reply)
{
    QList<int> bytes;
    if (!echoed(reply, 's'))
        return bytes;
    for (int i = 1; i <= 3 && i < reply.size(); ++i)
        bytes.append(static_cast<quint8>(reply.at(i)));
    return bytes;
}

} // namespace quarvel::loaderreply
