#include "rareze/SerialInputAssembler.h"

namespace harvel {

void SerialInputAssembler::Feed(std::string_view chunk) {
    m_text.Feed(chunk);
    m_backup.Feed(chunk);
    m_display.Feed(chunk);
    m_packets.Feed(chunk);
}

}  // namespace harvel
