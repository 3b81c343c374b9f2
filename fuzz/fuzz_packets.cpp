#include <string>

#include "FuzzChunks.h"
#include "rareze/PacketAssembler.h"

using harvel::fuzz::Check;

// The first byte chooses the packet size (-8..23); every byte fed must come out again, in
// order, as whole packets plus what is still pending.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    harvel::PacketAssembler assembler;
    assembler.SetPacketSize(static_cast<int>(data[0] % 32) - 8);
    const int packetSize = assembler.PacketSize();
    Check(packetSize >= 0);
    std::string fed;
    std::string out;
    assembler.SetHandler([&](std::string& packet) {
        Check(!packet.empty());
        if (packetSize > 0) {
            Check(packet.size() == static_cast<std::size_t>(packetSize));
        }
        out += packet;
    });
    harvel::fuzz::ForEachChunk(data + 1, size - 1, [&](std::string_view chunk) {
        fed.append(chunk);
        assembler.Feed(chunk);
    });
    Check(out.size() + assembler.Pending() == fed.size());
    Check(fed.compare(0, out.size(), out) == 0);
    return 0;
}
