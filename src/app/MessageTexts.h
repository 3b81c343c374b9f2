#pragma once

#include <QString>
#include <array>

namespace harvel {

constexpr int kMessageCount = 50;
using MessageTable = std::array<QString, kMessageCount>;

// The main window's user-visible texts in their design language; a language file
// replaces them by position.
[[nodiscard]] MessageTable DefaultMessageTexts();

}  // namespace harvel
