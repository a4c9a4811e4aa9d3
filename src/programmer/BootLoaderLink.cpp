#include "programmer/BootLoaderLink.h"

#include "link/CharWait.h"
#include "link/SerialPort.h"
#include "programmer/FlashPage.h"

namespace quarvel {

namespace {

QByteArray byte(int value)
{
    return QByteArray(1, static_cast<char>(value & 0xFF));
}

QByteArray wordAddressBytes(int wordAddress)
{
    return byte(wordAddress / 256) + byte(wordAddress % 256);
}

} // namespace

BootLoaderLink::BootLoaderLink(SerialPort& port, const ProgrammerTiming& timing) : m_port(port), m_timing(timing) {}

void BootLoaderLink::emptyReceiveBuffer()
{
    m_port.readAll();
}

std::optional<QByteArray> BootLoaderLink::exchange(const BootLoaderCommand& command, const QByteArray& arguments)
{
    m_port.write(byte(command.letter));
    for (const char b : arguments)
        m_port.write(QByteArray(1, b));
    if (!charWaitCount(m_port, command.awaited(), m_timing.replyTimeoutMs))
        return std::nullopt;
    return m_port.readAll();
}

bool BootLoaderLink::erase()
{
    emptyReceiveBuffer();
    return exchange(bootloader::kErase).has_value();
}

bool BootLoaderLink::setWordAddress(int wordAddress)
{
    return exchange(bootloader::kSetAddress, wordAddressBytes(wordAddress)).has_value();
}

std::optional<quint16> BootLoaderLink::readWord()
{
    const auto reply = exchange(bootloader::kReadWord);
    if (!reply)
        return std::nullopt;
    const auto high = static_cast<quint8>(reply->at(1));
    const auto low = static_cast<quint8>(reply->at(2));
    return static_cast<quint16>(high << 8 | low);
}

bool BootLoaderLink::writePage(const FlashPage& page)
{
    const int wordAddress = page.address / 2;
    emptyReceiveBuffer();
    if (!setWordAddress(wordAddress))
        return false;
    for (int i = 0; i + 1 < page.byteCount; i += 2) {
        if (!exchange(bootloader::kLoadLowByte, page.data.mid(i, 1))
            || !exchange(bootloader::kLoadHighByte, page.data.mid(i + 1, 1)))
            return false;
    }
    return setWordAddress(wordAddress) && exchange(bootloader::kWritePage).has_value();
}

bool BootLoaderLink::writeBits(const BootLoaderCommand& command, quint8 value)
{
    emptyReceiveBuffer();
    return exchange(command, byte(value) + byte('\r')).has_value();
}

bool BootLoaderLink::writeFuseBits(quint8 value)
{
    return writeBits(bootloader::kWriteFuseBits, value);
}

bool BootLoaderLink::writeLockBits(quint8 value)
{
    return writeBits(bootloader::kWriteLockBits, value);
}

QString BootLoaderLink::failureMessage() const
{
    if (m_port.isOpen())
        return kProgrammerTimeoutMessage;
    const QString reason = m_port.errorString();
    return QStringLiteral("The serial port is closed; the programmer cannot be reached%1")
        .arg(reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + reason);
}

} // namespace quarvel
