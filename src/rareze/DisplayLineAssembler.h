#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace harvel {

// One display-board line: 20 to 23 characters and a CR.
struct DisplayLine {
    char Address = ' ';
    int StartNumber = 0;
    char Mode = ' ';
    int Time = 0;
    int Place = -1;
    std::string ZunString;  // with its CR

    friend bool operator==(const DisplayLine&, const DisplayLine&) = default;
};

class DisplayLineAssembler {
public:
    using Handler = std::function<void(const DisplayLine&)>;
    static constexpr int kBufferSize = 25;

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    [[nodiscard]] bool IsConnected() const { return static_cast<bool>(m_handler); }

    void Feed(std::string_view chunk);

    // `line` holds `length` bytes (CR included) followed by zero bytes up to 25.
    [[nodiscard]] static DisplayLine ParseLine(const unsigned char* line, int length);

private:
    void Reset();

    Handler m_handler;
    std::array<unsigned char, kBufferSize> m_buffer{};
    int m_count = 0;
};

}  // namespace harvel
