#pragma once

#include <array>
#include <functional>
#include <string_view>

#include "rareze/Impulse.h"

namespace harvel {

// Collects serial bytes into backup lines (26 to 29 characters and a CR) and reports
// each complete line whose channel column is a digit.
class BackupLineAssembler {
public:
    using Handler = std::function<void(const Impulse&)>;
    static constexpr int kBufferSize = 31;

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    [[nodiscard]] bool IsConnected() const { return static_cast<bool>(m_handler); }
    [[nodiscard]] int Count() const { return m_count; }

    // Without a handler the chunk is not read and the partial line stays as it is.
    void Feed(std::string_view chunk);

    // Parses a complete serial backup line (CR included) without any range test.
    [[nodiscard]] static Impulse ParseLine(const unsigned char* line, int length);

private:
    void Reset();

    Handler m_handler;
    std::array<unsigned char, kBufferSize> m_buffer{};
    int m_count = 0;
};

}  // namespace harvel
