#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace harvel {

// Collects serial bytes into text lines of 2 to 33 characters ending in a CR.
class TextLineAssembler {
public:
    using Handler = std::function<void(std::string&)>;
    static constexpr int kLimit = 35;

    void SetHandler(Handler handler) { m_handler = std::move(handler); }
    [[nodiscard]] bool IsConnected() const { return static_cast<bool>(m_handler); }
    [[nodiscard]] const std::string& PartialLine() const { return m_line; }

    void Feed(std::string_view chunk);

private:
    Handler m_handler;
    std::string m_line;
};

}  // namespace harvel
