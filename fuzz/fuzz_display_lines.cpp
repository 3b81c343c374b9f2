#include "FuzzChunks.h"
#include "rareze/DisplayLineAssembler.h"

using harvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harvel::DisplayLineAssembler assembler;
    assembler.SetHandler([](const harvel::DisplayLine& line) {
        Check(line.ZunString.size() >= 21 && line.ZunString.size() <= 24);
        Check(line.ZunString.back() == '\r');
        Check(line.StartNumber >= 0 && line.StartNumber <= 999);
        Check(line.Place >= -1 && line.Place <= 99);
        // Out-of-range digits count 0, so the time never passes 29:59:59.999.
        Check(line.Time >= 0 && line.Time <= 1079999990);
        Check(line.Address == ' ' || (line.Address >= 'A' && line.Address <= 'L'));
    });
    harvel::fuzz::ForEachChunk(data, size, [&](std::string_view chunk) { assembler.Feed(chunk); });
    return 0;
}
