#include "sim/VirtualInstrument.h"

#include "sim/BootLoader.h"
#include "sim/UartDecoder.h"

namespace quarvel::sim {

VirtualInstrument::VirtualInstrument()
    : m_app(m_pack), m_eeprom(m_app), m_storedRecord(*this), m_loader(std::make_unique<BootLoader>())
{
}

VirtualInstrument::~VirtualInstrument() = default;

void VirtualInstrument::setBootLoader(std::unique_ptr<BootLoaderModel> loader)
{
    m_loader = std::move(loader);
}

bool VirtualInstrument::vanished() const
{
    if (m_vanishAfterLines > 0 && m_app.linesHandled() >= m_vanishAfterLines)
        return true;
    return m_mode == Mode::BootLoader && m_loader && m_loader->vanished();
}

void VirtualInstrument::restart()
{
    m_mode = Mode::Application;
    m_out.clear();
    m_stream = nullptr;
    m_vanishAfterLines = 0;
    m_app.restart();
}

void VirtualInstrument::receive(const QByteArray& sent, int sentBaud)
{
    const QByteArray bytes = m_decodeLineSpeed ? decodeAtRate(sent, sentBaud, lineRate()) : sent;
    std::vector<Chunk> out;
    for (const char byte : bytes) {
        if (vanished())
            return;
        if (m_mode == Mode::Application) {
            m_app.receive(byte, out);
            if (m_app.takeBootLoaderRequest()) {
                m_stream = nullptr;
                m_mode = Mode::BootLoader; // a loader that is absent stays silent
            }
        } else if (m_loader) {
            m_loader->receive(byte, out);
            if (m_loader->takeLeaveRequest())
                m_mode = Mode::Application;
        }
    }
    for (Chunk& c : out)
        m_out.push_back(std::move(c));
}

Chunk VirtualInstrument::takeOutput()
{
    if (!m_out.empty()) {
        Chunk c = std::move(m_out.front());
        m_out.pop_front();
        return c;
    }
    if (m_stream) {
        if (auto c = m_stream())
            return *c;
        m_stream = nullptr;
    }
    return {};
}

} // namespace quarvel::sim
