#include "tools/Ansi.h"

#include <array>

namespace harvel {
namespace {

// 0x80..0x9F; 0 marks the five codes that Windows-1252 leaves undefined (kept as C1 codes).
constexpr std::array<char16_t, 32> kHigh{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QString FromAnsi(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) {
            text += QChar(kHigh[byte - 0x80]);
        } else {
            text += QChar(static_cast<char16_t>(byte));
        }
    }
    return text;
}

std::string ToAnsi(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes += static_cast<char>(code);
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < kHigh.size(); ++i) {
            if (kHigh[i] == code || (kHigh[i] == 0 && code == 0x80 + i)) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        bytes += mapped;
    }
    return bytes;
}

}  // namespace harvel
