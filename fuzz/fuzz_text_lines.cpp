#include "FuzzChunks.h"
#include "rareze/TextLineAssembler.h"

using harvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harvel::TextLineAssembler assembler;
    assembler.SetHandler([](std::string& line) {
        Check(line.size() >= 3 && line.size() < harvel::TextLineAssembler::kLimit);
        Check(line.back() == '\r');
    });
    harvel::fuzz::ForEachChunk(data, size, [&](std::string_view chunk) {
        assembler.Feed(chunk);
        Check(assembler.PartialLine().size() < harvel::TextLineAssembler::kLimit);
    });
    return 0;
}
