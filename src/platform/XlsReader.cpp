#include <freexl.h>
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "platform/XlsFile.h"

namespace harvel {
namespace {

struct HandleCloser {
    void operator()(const void* handle) const { freexl_close(handle); }
};

[[noreturn]] void Unreadable(const QString& path, const char* why) {
    throw XlsError(QStringLiteral("%1 is not a readable workbook (%2)")
                       .arg(path, QLatin1String(why))
                       .toStdString());
}

QString CellText(const FreeXL_CellValue& cell) {
    switch (cell.type) {
        case FREEXL_CELL_INT:
            return QString::number(cell.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return QString::number(cell.value.double_value, 'g', 15);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return cell.value.text_value ? QString::fromUtf8(cell.value.text_value) : QString();
        default:
            return {};  // empty, and formula cells, which the reader leaves empty
    }
}

}  // namespace

WorkbookData ReadXlsInProcess(const QString& path, int* fileType) {
    if (fileType != nullptr) {
        *fileType = kFileTypeUnreadable;
    }
    if (!QFileInfo(path).isFile()) {
        Unreadable(path, "no such file");
    }
    const void* raw = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &raw);
    std::unique_ptr<const void, HandleCloser> handle(raw);
    // The open can report success without a handle.
    if (opened != FREEXL_OK || raw == nullptr) {
        Unreadable(path, "not an Excel workbook");
    }
    unsigned int info = 0;
    if (freexl_get_info(raw, FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK ||
        info != FREEXL_BIFF_PLAIN) {
        Unreadable(path, "encrypted");
    }
    unsigned int version = 0;
    freexl_get_info(raw, FREEXL_BIFF_VERSION, &version);
    unsigned int sheetCount = 0;
    if (freexl_get_info(raw, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK ||
        sheetCount == 0) {
        Unreadable(path, "no sheets");
    }

    WorkbookData data;
    for (unsigned short s = 0; s < sheetCount; ++s) {
        SheetData sheet;
        const char* name = nullptr;
        if (freexl_get_worksheet_name(raw, s, &name) != FREEXL_OK ||
            freexl_select_active_worksheet(raw, s) != FREEXL_OK) {
            Unreadable(path, "a sheet cannot be read");
        }
        sheet.name = name ? QString::fromUtf8(name) : QStringLiteral("Sheet%1").arg(s + 1);
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_worksheet_dimensions(raw, &rows, &cols) != FREEXL_OK) {
            Unreadable(path, "a sheet's size cannot be read");
        }
        // Dimensions are counts; the grid holds at most 65536 x 256.
        rows = std::min(rows, 65536u);
        cols = std::min<unsigned short>(cols, 256);
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue cell{};
                if (freexl_get_cell_value(raw, r, c, &cell) != FREEXL_OK) {
                    Unreadable(path, "corrupt cell records");
                }
                QString text = CellText(cell);
                if (!text.isEmpty()) {
                    sheet.cells.push_back({static_cast<int>(r) + 1, c + 1, std::move(text)});
                }
            }
        }
        data.sheets.push_back(std::move(sheet));
    }
    if (fileType != nullptr) {
        *fileType = version == FREEXL_BIFF_VER_8 ? kFileTypeExcel97 : kFileTypeExcelOld;
    }
    return data;
}

}  // namespace harvel
