#include "FuzzChunks.h"
#include "rareze/BackupLineAssembler.h"

using harvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    harvel::BackupLineAssembler assembler;
    assembler.SetHandler([](const harvel::Impulse& impulse) {
        Check(impulse.Channel >= 0 && impulse.Channel <= 9);
        const auto length = impulse.VoraString.size();
        Check(length >= 27 && length <= 30);
        Check(impulse.VoraString.back() == '\r');
        for (std::size_t i = 0; i + 1 < length; ++i) {
            const auto byte = static_cast<unsigned char>(impulse.VoraString[i]);
            Check(byte >= ' ' && byte <= 'z');
        }
    });
    harvel::fuzz::ForEachChunk(data, size, [&](std::string_view chunk) {
        assembler.Feed(chunk);
        Check(assembler.Count() >= 0 &&
              assembler.Count() < harvel::BackupLineAssembler::kBufferSize);
    });
    return 0;
}
