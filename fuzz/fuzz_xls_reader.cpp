// The reader glue over any bytes: a file that is not a readable workbook must end in
// XlsError, never in a crash, an overrun or a cell outside the grid. The reading itself
// runs in the helper process (built with the same sanitizers): a fault the reader library
// has on a corrupt file ends the helper, and must reach us as XlsError. The helper's
// answer is also decoded from the raw input, as a corrupt answer would be.
#include <unistd.h>
#include <QFile>
#include <QString>
#include <cstdlib>

#include "FuzzChunks.h"
#include "platform/XlsFile.h"

using harvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = [] {
        char name[] = "/tmp/fuzz_xls_XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        return QString::fromLocal8Bit(name);
    }();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    try {
        int type = 0;
        (void)harvel::DecodeWorkbook(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), &type);
    } catch (const harvel::XlsError&) {
    }
    try {
        int type = 0;
        const harvel::WorkbookData book = harvel::ReadXls(path, &type);
        Check(type != harvel::kFileTypeUnreadable);
        Check(!book.sheets.empty());
        for (const auto& sheet : book.sheets) {
            for (const auto& cell : sheet.cells) {
                Check(cell.row >= 1 && cell.row <= 65536 && cell.col >= 1 && cell.col <= 256);
                Check(!cell.text.isEmpty());
            }
        }
    } catch (const harvel::XlsError&) {
    }
    return 0;
}
