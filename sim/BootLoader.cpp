#include "sim/BootLoader.h"

#include <QSaveFile>

namespace quarvel::sim {

namespace {

// Argument bytes that follow each letter.
int argumentsOf(char letter)
{
    switch (letter) {
    case 'A': return 2;
    case 'c': case 'C': case 'x': case 'y': return 1;
    case 'f': case 'l': return 2; // the value byte and a CR
    default: return 0;
    }
}

} // namespace

BootLoader::BootLoader() : m_flash(kFlashBytes, char(0xFF)), m_pageBuffer(kPageBytes, char(0xFF))
{
    // The loader's own code: anything but erased flash, so reading it back never matches an image.
    for (int a = kApplicationBytes; a < kFlashBytes; ++a)
        m_flash[a] = static_cast<char>((a * 37 + 11) & 0xFF);
}

bool BootLoader::vanished() const
{
    return m_faults.vanishAfterPages > 0 && m_pageWrites >= m_faults.vanishAfterPages;
}

bool BootLoader::takeLeaveRequest()
{
    const bool leave = m_leave;
    m_leave = false;
    return leave;
}

void BootLoader::send(std::vector<Chunk>& out, Chunk chunk)
{
    QByteArray bytes;
    for (const char b : chunk.bytes) {
        ++m_sent;
        if (m_sent != m_faults.dropByte)
            bytes.append(b);
    }
    chunk.bytes = bytes;
    out.push_back(std::move(chunk));
}

void BootLoader::answer(std::vector<Chunk>& out, const QByteArray& bytes, double extraGapMs)
{
    send(out, {bytes, m_timing.turnaroundMs + extraGapMs});
}

void BootLoader::receive(char byte, std::vector<Chunk>& out)
{
    if (m_faults.silent || vanished())
        return;
    send(out, {QByteArray(1, byte), 0});
    m_command.append(byte);
    if (m_command.size() < 1 + argumentsOf(m_command.at(0)))
        return;
    command(out);
    m_command.clear();
}

void BootLoader::command(std::vector<Chunk>& out)
{
    const char letter = m_command.at(0);
    const auto arg = [this](int i) { return static_cast<quint8>(m_command.at(1 + i)); };
    const QByteArray ack(1, '\r');
    switch (letter) {
    case 'S': answer(out, kProgrammerId); break;
    case 'V': answer(out, kSoftwareVersion); break;
    case 'v': answer(out, kHardwareVersion); break;
    case 's': answer(out, kSignature); break;
    case 'r': answer(out, QByteArray(1, static_cast<char>(m_lockBits))); break;
    case 'F': answer(out, QByteArray(1, static_cast<char>(m_fuseBits))); break;
    case 'x': case 'y': answer(out, ack); break;
    case 'e':
        m_flash.replace(0, kApplicationBytes, QByteArray(kApplicationBytes, char(0xFF)));
        saveFlash();
        answer(out, ack, m_timing.eraseMs);
        break;
    case 'A':
        m_wordAddress = arg(0) << 8 | arg(1);
        answer(out, ack);
        break;
    case 'c': case 'C': {
        const int offset = (m_wordAddress * 2) % kPageBytes + (letter == 'C' ? 1 : 0);
        m_pageBuffer[offset] = static_cast<char>(arg(0));
        if (letter == 'C')
            m_wordAddress = (m_wordAddress + 1) & 0xFFFF;
        answer(out, ack);
        break;
    }
    case 'm':
        writePage();
        saveFlash();
        answer(out, ack, m_timing.pageWriteMs);
        break;
    case 'R': {
        const int a = m_wordAddress * 2;
        const auto at = [this](int i) { return i < kFlashBytes ? m_flash.at(i) : char(0xFF); };
        answer(out, QByteArray(1, at(a + 1)) + at(a));
        m_wordAddress = (m_wordAddress + 1) & 0xFFFF;
        break;
    }
    case 'f': // nothing beyond the echoes
        if (!m_faults.ignoreFuseWrites)
            m_fuseBits = arg(0);
        break;
    case 'l':
        if (!m_faults.ignoreFuseWrites) // the chip only clears lock bits; an erase by ISP sets them
            m_lockBits &= arg(0);
        break;
    case 'G': m_leave = true; break;
    default: answer(out, QByteArrayLiteral("?")); break;
    }
}

void BootLoader::writePage()
{
    const int start = (m_wordAddress * 2) / kPageBytes * kPageBytes;
    ++m_pageWrites;
    if (start + kPageBytes <= kApplicationBytes) {
        for (int i = 0; i < kPageBytes; ++i) {
            if (start + i != m_faults.stuckAddress)
                m_flash[start + i] = m_pageBuffer.at(i);
        }
    }
    m_pageBuffer.fill(char(0xFF));
}

void BootLoader::saveFlash() const
{
    if (m_flashFile.isEmpty())
        return;
    QSaveFile file(m_flashFile);
    if (file.open(QIODevice::WriteOnly) && file.write(m_flash) == m_flash.size())
        file.commit();
}

} // namespace quarvel::sim
