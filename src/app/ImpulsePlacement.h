#pragma once

#include <QString>

#include "app/TableState.h"
#include "tools/Separators.h"

namespace harvel {

struct Impulse;
class Workbook;

// Sheet numbers of the two records of every impulse.
constexpr int kPairingSheet = 1;
constexpr int kLogSheet = 2;
constexpr int kTableColumnWidth = 3450;

// Text of a time value in the grid: truncated digits, hours not reduced modulo 24.
[[nodiscard]] QString TableTimeText(int time, int decimals, const Separators& separators);

// Headings of both sheets from the channel columns; leaves the selected sheet as it was.
void WriteColumnHeaders(Workbook& book, const TableState& state);

// Writes one impulse into the log sheet and the pairing sheet (everything of the impulse
// handler but its debug log line). A grid error (a full sheet) leaves this function at
// the failing step; nothing written before it is undone, no later cell is written.
void PlaceImpulse(Workbook& book, TableState& state, const Impulse& impulse,
                  const Separators& separators);

}  // namespace harvel
