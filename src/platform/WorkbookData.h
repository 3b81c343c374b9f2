#pragma once

#include <QString>
#include <vector>

namespace harvel {

// A workbook's content as plain data: what a file holds, and what a save writes. Taken
// from the grid in one step, so a save can run while the grid goes on changing.
struct SheetData {
    struct Cell {
        int row;  // 1-based
        int col;  // 1-based
        QString text;
    };
    QString name;
    std::vector<Cell> cells;  // by row, then column; no empty texts
    std::vector<int> widths;  // per column from 1, in 1/256 of a character; may be shorter
};

struct WorkbookData {
    std::vector<SheetData> sheets;
};

}  // namespace harvel
