#pragma once

#include <optional>
#include <string_view>

#include "rareze/Impulse.h"

namespace harvel {

// Longest text that fits the 31-byte line buffer with its terminating zero.
constexpr std::size_t kUsbLineMax = 30;

// Parses one text of the USB link (already 8-bit). All CR and LF bytes are removed;
// a text holding "VORA:" or failing the range tests gives nothing. A text longer than
// 30 characters is cut to its first 30: every column that carries data lies before
// that, so the time survives extra trailing bytes.
[[nodiscard]] std::optional<Impulse> ParseUsbText(std::string_view text);

// Delphi-style StrToIntDef over a short text: leading blanks, optional sign, digits, and
// nothing after them; anything else gives `fallback`.
[[nodiscard]] int DecimalOrDefault(std::string_view text, int fallback);

}  // namespace harvel
