#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace harvel {

// 8-bit texts in the system's ANSI code page, taken as Windows-1252 on every platform.
[[nodiscard]] QString FromAnsi(std::string_view bytes);
// Characters without a Windows-1252 code become '?'.
[[nodiscard]] std::string ToAnsi(const QString& text);

}  // namespace harvel
