// harvel-xlsread FILE: reads an Excel workbook and writes its content to standard output
// for the program, which runs it apart so that a corrupt file cannot harm the program.
#include <QFile>
#include <cstdio>

#include "platform/XlsFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: harvel-xlsread FILE\n");
        return 2;
    }
    try {
        int type = harvel::kFileTypeUnreadable;
        const harvel::WorkbookData data =
            harvel::ReadXlsInProcess(QFile::decodeName(argv[1]), &type);
        const QByteArray bytes = harvel::EncodeWorkbook(data, type);
        return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout) ==
                       static_cast<std::size_t>(bytes.size())
                   ? 0
                   : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
