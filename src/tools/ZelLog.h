#pragma once

#include <QString>
#include <cstdio>
#include <functional>

#include "tools/Separators.h"

namespace harvel {

// The debug log: one line per event, each starting with the time of day and a TAB.
// Opens itself at the first line; a failed open is retried at every later line.
// Every line is handed to the operating system as it is written, so a crash keeps it.
class ZelLog {
public:
    static constexpr long kSizeLimit = 5000000;

    ZelLog();
    ~ZelLog();
    ZelLog(const ZelLog&) = delete;
    ZelLog& operator=(const ZelLog&) = delete;

    // Closes the current file (with its closing line) and opens `path`; "" only closes.
    bool Open(const QString& path);
    // Writes one line; returns `text` unchanged.
    const QString& WriteLine(const QString& text);
    // The same for an 8-bit text, written as its bytes.
    const char* WriteLine(const char* text);

    [[nodiscard]] const QString& FileName() const { return m_fileName; }
    [[nodiscard]] bool IsOpen() const { return m_file != nullptr; }

    // Where the log goes when none was opened: the temporary directory, "DebugFile", the
    // program file's name without an ".exe", ".log".
    [[nodiscard]] static QString DefaultPath();

    // Replaces the system description of the third opening line (tests inject failures).
    void SetSystemDescription(std::function<QString()> describe) {
        m_describe = std::move(describe);
    }

private:
    void WriteBytes(const char* bytes, std::size_t length);

    QString m_fileName;
    std::FILE* m_file = nullptr;
    bool m_timeStamps = true;
    Separators m_separators;  // read once per open: the locale lookup costs more than a line
    std::function<QString()> m_describe;
};

}  // namespace harvel
