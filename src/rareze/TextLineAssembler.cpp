#include "rareze/TextLineAssembler.h"

namespace harvel {

void TextLineAssembler::Feed(std::string_view chunk) {
    if (!m_handler) {
        return;
    }
    for (const char ch : chunk) {
        const auto byte = static_cast<unsigned char>(ch);
        m_line += ch;
        const auto count = static_cast<int>(m_line.size());
        if (byte == '\r' && count >= 3 && count < kLimit) {
            std::string line;
            line.swap(m_line);
            m_handler(line);
        } else if (count >= kLimit || byte > 'z' || byte < '\r') {
            m_line.clear();
        }
    }
}

}  // namespace harvel
