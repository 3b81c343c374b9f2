#include "rareze/Impulse.h"

#include <ostream>

namespace harvel {

std::string EscapeBytes(const std::string& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 32 || byte > 126) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string ToDebugText(const Impulse& impulse) {
    return "Impulse{Info='" + EscapeBytes(std::string(1, impulse.Info)) +
           "' StartNumber=" + std::to_string(impulse.StartNumber) +
           " Channel=" + std::to_string(impulse.Channel) + " Mode='" +
           EscapeBytes(std::string(1, impulse.Mode)) + "' Time=" + std::to_string(impulse.Time) +
           " VoraString=\"" + EscapeBytes(impulse.VoraString) + "\"}";
}

std::ostream& operator<<(std::ostream& out, const Impulse& impulse) {
    return out << ToDebugText(impulse);
}

}  // namespace harvel
