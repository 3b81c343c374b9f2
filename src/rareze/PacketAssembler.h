#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace harvel {

// Cuts the byte stream into packets of `PacketSize` bytes; size 0 passes each chunk whole.
class PacketAssembler {
public:
    using Handler = std::function<void(std::string&)>;

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    [[nodiscard]] bool IsConnected() const { return static_cast<bool>(m_handler); }

    // A negative size has no sound meaning; it is taken as 0 (whole chunks).
    void SetPacketSize(int size) { m_packetSize = size < 0 ? 0 : size; }
    [[nodiscard]] int PacketSize() const { return m_packetSize; }
    [[nodiscard]] std::size_t Pending() const { return m_buffer.size(); }

    void Feed(std::string_view chunk);

private:
    Handler m_handler;
    std::string m_buffer;
    int m_packetSize = 0;
};

}  // namespace harvel
