#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace harvel::fuzz {

// Splits the input into chunks whose sizes come from the input itself: each chunk is
// preceded by one length byte (1..64), so the fuzzer explores every way a line can be cut.
template <typename Feed>
void ForEachChunk(const std::uint8_t* data, std::size_t size, Feed&& feed) {
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t length = (data[pos] % 64) + 1;
        ++pos;
        const std::size_t take = length < size - pos ? length : size - pos;
        feed(std::string_view(reinterpret_cast<const char*>(data + pos), take));
        pos += take;
    }
}

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace harvel::fuzz
