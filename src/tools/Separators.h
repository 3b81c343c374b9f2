#pragma once

class QLocale;

namespace harvel {

// The system's time and decimal separators, as 8-bit characters.
struct Separators {
    char time = ':';
    char decimal = '.';

    friend bool operator==(const Separators&, const Separators&) = default;
};

// The separators of `locale`; ':' and '.' where the locale's separator is not a single
// 8-bit character.
[[nodiscard]] Separators SeparatorsOf(const QLocale& locale);

// Read from the system locale (QLocale::system()).
[[nodiscard]] Separators SystemSeparators();

}  // namespace harvel
