#pragma once

#include <QString>
#include <stdexcept>

#include "platform/WorkbookData.h"

namespace harvel {

// File-type codes of ReadEx: 8 is a file that is not a readable workbook.
constexpr int kFileTypeUnreadable = 8;
constexpr int kFileTypeExcel97 = 11;  // BIFF8, also the type Write takes
constexpr int kFileTypeExcelOld = 6;  // BIFF2 to BIFF5

class XlsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The BIFF8 Workbook stream of `data`: every sheet with its name, every cell as a text,
// column widths. Sheet names are made valid (1-31 characters, none of : \ / ? * [ ],
// unique); a cell text longer than 4000 characters is cut to them, so that every file
// written here can be read here again.
[[nodiscard]] QByteArray Biff8Workbook(const WorkbookData& data);

// Writes `data` as an Excel 97-2003 workbook (BIFF8 in an OLE2 compound file). Atomic:
// a temporary file beside the target, flushed to disk, then renamed over it, so a failed
// or interrupted save leaves the previous file as it was. Raises XlsError.
void WriteXls(const WorkbookData& data, const QString& path);

// Reads a workbook; raises XlsError for a file that is not a readable workbook (missing,
// not OLE2, no workbook stream, corrupt records, encrypted). `fileType` gets its code.
// The reader library overreads its buffers on some corrupt files, so the reading runs in
// a helper process (harvel-xlsread): whatever a file does to it, the program goes on.
[[nodiscard]] WorkbookData ReadXls(const QString& path, int* fileType = nullptr);

// The same in this process: for the helper itself.
[[nodiscard]] WorkbookData ReadXlsInProcess(const QString& path, int* fileType = nullptr);

// The helper's answer on its standard output, and its reading back.
[[nodiscard]] QByteArray EncodeWorkbook(const WorkbookData& data, int fileType);
[[nodiscard]] WorkbookData DecodeWorkbook(const QByteArray& bytes, int* fileType);

}  // namespace harvel
