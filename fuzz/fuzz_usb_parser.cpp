#include <string_view>

#include "FuzzChunks.h"
#include "rareze/UsbLineParser.h"

using harvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto impulse = harvel::ParseUsbText(text);
    if (impulse) {
        Check(impulse->StartNumber >= 0 && impulse->StartNumber <= 9999);
        Check(impulse->Channel >= 0 && impulse->Channel <= 9);
        Check(impulse->Time > 0 && impulse->Time < harvel::kTicksPerDay);
        Check(impulse->VoraString.size() <= harvel::kUsbLineMax);
        Check(impulse->VoraString.find_first_of("\r\n") == std::string::npos);
        Check(impulse->VoraString.find("VORA:") == std::string::npos);
    }
    return 0;
}
