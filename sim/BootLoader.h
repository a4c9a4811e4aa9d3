#pragma once

#include "sim/VirtualInstrument.h"

#include <QByteArray>
#include <QString>

namespace quarvel::sim {

// The instrument's serial boot loader: echoes every character, answers the single-letter
// commands, and keeps an 8 KiB flash whose application area (below 7680) pages can be written to;
// the loader's own area above it never changes.
class BootLoader : public BootLoaderModel {
public:
    static constexpr int kFlashBytes = 8192;
    static constexpr int kApplicationBytes = 7680;
    static constexpr int kPageBytes = 32;
    static inline const QByteArray kProgrammerId = QByteArrayLiteral("QRVBOOT");
    static inline const QByteArray kSoftwareVersion = QByteArrayLiteral("12");
    static inline const QByteArray kHardwareVersion = QByteArrayLiteral("10");
    static inline const QByteArray kSignature = QByteArray::fromHex("1E9307");

    struct Faults {
        bool silent = false;         // neither echo nor answer
        int dropByte = 0;            // the n-th byte the loader sends (from 1) is lost
        int stuckAddress = -1;       // this flash byte keeps its value when its page is written
        int vanishAfterPages = 0;    // leaves the line after this many page writes
        bool ignoreFuseWrites = false; // "f" and "l" are echoed but change nothing
    };
    struct Timing {
        double turnaroundMs = 0;     // before every answer that follows the echoes
        double pageWriteMs = 4;      // added before the acknowledgement of a page write
        double eraseMs = 20;         // added before the acknowledgement of the erase
    };

    BootLoader();

    Faults& faults() { return m_faults; }
    Timing& timing() { return m_timing; }

    const QByteArray& flash() const { return m_flash; }
    // Replaces the flash from address 0 (for a test's starting state).
    void setFlash(const QByteArray& bytes) { m_flash.replace(0, qMin(bytes.size(), qsizetype(kFlashBytes)), bytes.left(kFlashBytes)); }
    int pageWrites() const { return m_pageWrites; }
    // After every erase and page write the whole flash is written to this file (for a test to read).
    void setFlashFile(const QString& path) { m_flashFile = path; }
    quint8 fuseBits() const { return m_fuseBits; }
    quint8 lockBits() const { return m_lockBits; }

    void receive(char byte, std::vector<Chunk>& out) override;
    bool takeLeaveRequest() override;
    bool vanished() const override;

private:
    void answer(std::vector<Chunk>& out, const QByteArray& bytes, double extraGapMs = 0);
    void send(std::vector<Chunk>& out, Chunk chunk);
    void command(std::vector<Chunk>& out);
    void writePage();
    void saveFlash() const;

    Faults m_faults;
    Timing m_timing;
    QByteArray m_flash;
    QByteArray m_pageBuffer;
    QByteArray m_command; // the letter and the argument bytes received so far
    int m_wordAddress = 0;
    int m_pageWrites = 0;
    int m_sent = 0;
    quint8 m_fuseBits = 0x8E;
    quint8 m_lockBits = 0xEF;
    bool m_leave = false;
    QString m_flashFile;
};

} // namespace quarvel::sim
