#include "rareze/PacketAssembler.h"

namespace harvel {

void PacketAssembler::Feed(std::string_view chunk) {
    if (!m_handler) {
        return;
    }
    if (m_packetSize == 0) {
        if (!chunk.empty()) {
            std::string packet(chunk);
            m_handler(packet);
        }
        return;
    }
    m_buffer.append(chunk);
    const auto size = static_cast<std::size_t>(m_packetSize);
    const std::size_t whole = m_buffer.size() / size * size;
    if (whole == 0) {
        return;
    }
    // Taken out in one step: cheap for small packets, and a nested Feed from inside a
    // handler sees only the remainder.
    const std::string ready = m_buffer.substr(0, whole);
    m_buffer.erase(0, whole);
    for (std::size_t offset = 0; offset < whole; offset += size) {
        std::string packet = ready.substr(offset, size);
        m_handler(packet);
    }
}

}  // namespace harvel
