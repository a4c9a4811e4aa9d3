#pragma once

#include "link/ForwardingPort.h"

#include <QByteArrayList>
#include <QStringList>

namespace quarvel::test {

// Passes everything to another port and keeps a copy of every write, with the settings the port
// had when it was written.
class RecordingPort : public ForwardingPort {
public:
    using ForwardingPort::ForwardingPort;

    void write(const QByteArray& bytes) override
    {
        writes.append(bytes);
        settingsAtWrite.append(inner().settings());
        ForwardingPort::write(bytes);
    }

    // The text written from write number `from` on, split at each CR (what follows the last CR is
    // left out).
    QStringList lines(int from = 0) const
    {
        QStringList out = QString::fromLatin1(writes.mid(from).join()).split(QLatin1Char('\r'));
        out.removeLast(); // what follows the last CR
        return out;
    }

    QByteArrayList writes;
    QStringList settingsAtWrite;
};

} // namespace quarvel::test
