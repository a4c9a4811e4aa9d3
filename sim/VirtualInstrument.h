#pragma once

#include "sim/ApplicationFirmware.h"
#include "sim/BatteryPack.h"
#include "sim/Chunk.h"
#include "sim/Eeprom.h"
#include "sim/StoredRecord.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace quarvel::sim {

// What the instrument's boot loader must offer the virtual instrument.
class BootLoaderModel {
public:
    virtual ~BootLoaderModel() = default;
    // One received byte; reply chunks are appended to out.
    virtual void receive(char byte, std::vector<Chunk>& out) = 0;
    // True once after "G": the application is to run again.
    virtual bool takeLeaveRequest() = 0;
    // True when the loader has vanished from the line (a switchable fault).
    virtual bool vanished() const { return false; }
};

// The whole virtual Quarvel: its application firmware, and its boot loader after "1pgm".
// Transport-free: bytes go in, paced chunks come out (see SimLine).
class VirtualInstrument {
public:
    enum class Mode { Application, BootLoader };
    static constexpr int kApplicationBaud = 9600;
    static constexpr int kBootLoaderBaud = 19200;

    VirtualInstrument();
    ~VirtualInstrument();

    ApplicationFirmware& application() { return m_app; }
    BatteryPack& pack() { return m_pack; }
    Eeprom& eeprom() { return m_eeprom; }
    StoredRecord& storedRecord() { return m_storedRecord; }
    void setBootLoader(std::unique_ptr<BootLoaderModel> loader);
    BootLoaderModel* bootLoader() { return m_loader.get(); }

    // The instrument starts with its boot loader running (as after a programming that stopped
    // part-way and a power cycle): the application does not answer until "G".
    void startInBootLoader() { m_mode = Mode::BootLoader; }
    // Leaves the line after this many application command lines (0: never).
    void setVanishAfterLines(int lines) { m_vanishAfterLines = lines; }

    // Bytes sent at sentBaud (0: taken as the instrument's line rate). With decodeLineSpeed on,
    // bytes sent at another rate arrive as a UART at the line rate reads them.
    void receive(const QByteArray& bytes, int sentBaud = 0);
    void setDecodeLineSpeed(bool on) { m_decodeLineSpeed = on; }
    bool hasOutput() const { return !m_out.empty() || bool(m_stream); }
    // The next chunk to send; call only when hasOutput().
    Chunk takeOutput();

    // An output that goes on until the generator returns nothing (for long or endless replies).
    using Stream = std::function<std::optional<Chunk>()>;
    void startStream(Stream stream) { m_stream = std::move(stream); }

    Mode mode() const { return m_mode; }
    int lineRate() const { return m_mode == Mode::Application ? kApplicationBaud : kBootLoaderBaud; }
    bool vanished() const;
    // Powered up again: the application runs, nothing is left to send, a vanish fault is spent.
    void restart();

private:
    BatteryPack m_pack;
    ApplicationFirmware m_app;
    Eeprom m_eeprom; // after m_app: it registers with it
    StoredRecord m_storedRecord;
    std::unique_ptr<BootLoaderModel> m_loader;
    Mode m_mode = Mode::Application;
    std::deque<Chunk> m_out;
    Stream m_stream;
    int m_vanishAfterLines = 0;
    bool m_decodeLineSpeed = false;
};

} // namespace quarvel::sim
