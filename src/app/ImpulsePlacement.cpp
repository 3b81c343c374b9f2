#include "app/ImpulsePlacement.h"

#include <cstdint>

#include "platform/Workbook.h"
#include "rareze/Impulse.h"
#include "tools/Ansi.h"

namespace harvel {
namespace {

void AppendTwoDigits(QString& text, std::int64_t value) {
    text += QChar(u'0' + static_cast<char16_t>(value / 10 % 10));
    text += QChar(u'0' + static_cast<char16_t>(value % 10));
}

}  // namespace

QString TableTimeText(int time, int decimals, const Separators& separators) {
    QString text;
    // 64-bit so that the magnitude of the most negative value is representable.
    std::int64_t a = time;
    if (a < 0) {
        text += u'-';
        a = -a;
    }
    if (a == 0) {
        text += decimals <= 0 ? QStringLiteral("0") : QStringLiteral("0.0");
        for (int d = 2; d <= decimals && d <= 4; ++d) {
            text += u'0';
        }
        return text;
    }
    const QChar timeSeparator =
        QChar(static_cast<char16_t>(static_cast<unsigned char>(separators.time)));
    const std::int64_t seconds = a / 10000;
    if (a < 100000) {
        text += QString::number(seconds);
    } else if (a < 600000) {
        AppendTwoDigits(text, seconds);
    } else if (a < 36000000) {
        text += QString::number(a / 600000 % 60);
        text += timeSeparator;
        AppendTwoDigits(text, seconds % 60);
    } else {
        text += QString::number(a / 36000000);
        text += timeSeparator;
        AppendTwoDigits(text, a / 600000 % 60);
        text += timeSeparator;
        AppendTwoDigits(text, seconds % 60);
    }
    if (decimals >= 1) {
        text += QChar(static_cast<char16_t>(static_cast<unsigned char>(separators.decimal)));
        const std::int64_t digits[] = {a / 1000, a / 100, a / 10, a};
        for (int d = 0; d < decimals && d < 4; ++d) {
            text += QChar(u'0' + static_cast<char16_t>(digits[d] % 10));
        }
    }
    return text;
}

void WriteColumnHeaders(Workbook& book, const TableState& state) {
    const int remembered = book.Sheet();
    book.SetSheet(kPairingSheet);
    for (int col = 1; col <= 26; ++col) {
        book.set_ColText(col, QString(QChar(u'@' + col)));
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        book.set_ColText(state.EffectiveColumn(channel, book.MaxCol()),
                         QStringLiteral("C%1").arg(channel));
    }
    book.SetSheet(kLogSheet);
    const char* const headings[] = {"Info", "Number", "Channel", "Type", "Time"};
    for (int col = 1; col <= 5; ++col) {
        book.set_ColText(col, QString::fromLatin1(headings[col - 1]));
    }
    book.SetSheet(remembered);
}

void PlaceImpulse(Workbook& book, TableState& state, const Impulse& impulse,
                  const Separators& separators) {
    const int remembered = book.Sheet();
    book.SetSheet(kLogSheet);
    const QString t = TableTimeText(impulse.Time, 4, separators);

    // The first write raises on a full log sheet, before any cell of the row changes.
    const int logRow = state.LastDetectionRow;
    book.set_TextRC(logRow, 1, FromAnsi(std::string_view(&impulse.Info, 1)));
    book.set_TextRC(logRow, 2, QString::number(impulse.StartNumber));
    book.set_TextRC(logRow, 3, QString::number(impulse.Channel));
    book.set_TextRC(logRow, 4, FromAnsi(std::string_view(&impulse.Mode, 1)));
    book.set_TextRC(logRow, 5, t);
    ++state.LastDetectionRow;

    book.SetSheet(kPairingSheet);
    const int k = state.EffectiveCorrespondingTime(impulse.Channel);
    const int c = state.EffectiveColumn(impulse.Channel, book.MaxCol());
    auto& last = state.CorrespondingTimeLast[static_cast<std::size_t>(k)];
    if (last == 0) {
        last = impulse.Time;
    }
    // 64-bit: untested serial times must not overflow the difference.
    const std::int64_t difference = static_cast<std::int64_t>(impulse.Time) - last;
    int row = state.DayTimeRow;
    if (difference > state.CorrespondingTimeWindow[static_cast<std::size_t>(k)]) {
        ++row;
    }
    if (!book.get_TextRC(row, c).isEmpty()) {
        ++row;
    }
    // Checked before any state changes, so a full pairing sheet leaves the counters as they were.
    if (row > book.MaxRow()) {
        book.set_TextRC(row, c, t);  // raises the grid's own error
    }
    state.DayTimeRow = row;
    if (row >= 2) {
        last = impulse.Time;
    } else {
        for (int& other : state.CorrespondingTimeLast) {
            if (other == 0) {
                other = impulse.Time;
            }
        }
    }
    book.set_TextRC(row, c, t);
    book.SetSheet(remembered);
}

}  // namespace harvel
