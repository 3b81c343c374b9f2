#include "tools/Separators.h"

#include <QLocale>
#include <QString>

namespace harvel {
namespace {

char Latin1OrDefault(QChar ch, char fallback) {
    const char16_t code = ch.unicode();
    return (code > 0 && code < 256) ? static_cast<char>(code) : fallback;
}

// The locale offers no time separator of its own: take the first character that follows
// the hour field of its short time format.
char TimeSeparatorOf(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hour = format.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    if (hour < 0) {
        return ':';
    }
    for (qsizetype i = hour; i < format.size(); ++i) {
        const QChar ch = format.at(i);
        if (ch.toLower() != QLatin1Char('h')) {
            return ch.isLetterOrNumber() || ch.isSpace() ? ':' : Latin1OrDefault(ch, ':');
        }
    }
    return ':';
}

}  // namespace

Separators SeparatorsOf(const QLocale& locale) {
    Separators result;
    result.time = TimeSeparatorOf(locale);
    const QString decimal = locale.decimalPoint();
    result.decimal = decimal.size() == 1 ? Latin1OrDefault(decimal.at(0), '.') : '.';
    return result;
}

Separators SystemSeparators() {
    return SeparatorsOf(QLocale::system());
}

}  // namespace harvel
