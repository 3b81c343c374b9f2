#pragma once

#include <string_view>

#include "rareze/BackupLineAssembler.h"
#include "rareze/DisplayLineAssembler.h"
#include "rareze/PacketAssembler.h"
#include "rareze/TextLineAssembler.h"

namespace harvel {

// The four assemblers of the serial link, fed in their fixed order: each consumes the
// whole chunk before the next one starts.
class SerialInputAssembler {
public:
    void Feed(std::string_view chunk);

    [[nodiscard]] TextLineAssembler& TextLines() { return m_text; }
    [[nodiscard]] BackupLineAssembler& BackupLines() { return m_backup; }
    [[nodiscard]] DisplayLineAssembler& DisplayLines() { return m_display; }
    [[nodiscard]] PacketAssembler& Packets() { return m_packets; }
    [[nodiscard]] const PacketAssembler& Packets() const { return m_packets; }

private:
    TextLineAssembler m_text;
    BackupLineAssembler m_backup;
    DisplayLineAssembler m_display;
    PacketAssembler m_packets;
};

}  // namespace harvel
