#include "tools/ZelLog.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cstring>
#include <exception>

#include "tools/Separators.h"
#include "tools/SystemInfo.h"
#include "tools/TimeText.h"

namespace harvel {
namespace {

long FileSize(const QString& path) {
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (file == nullptr) {
        return 0;
    }
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return size < 0 ? 0 : size;
}

}  // namespace

ZelLog::ZelLog() : m_describe([] { return OperatingSystemName(); }) {}

ZelLog::~ZelLog() {
    Open(QString());
}

QString ZelLog::DefaultPath() {
    QString name = QFileInfo(ProgramFilePath()).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) {
        name.chop(4);
    }
    return GetTempDir() + QStringLiteral("/DebugFile") + name + QStringLiteral(".log");
}

bool ZelLog::Open(const QString& path) {
    if (m_file != nullptr) {
        WriteLine(QStringLiteral("Logfile closed\n"));
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (path.isEmpty()) {
        m_fileName.clear();
        return false;
    }
    // Only a regular file is rotated; whatever else stands there makes the open fail.
    if (QFileInfo(path).isFile() && FileSize(path) > kSizeLimit) {
        const QString backup = path + QStringLiteral(".bak");
        QFile::remove(backup);
        QFile::rename(path, backup);
        QFile::remove(path);  // when the rename failed, start afresh all the same
    }
    m_file = std::fopen(QFile::encodeName(path).constData(), "a");
    if (m_file == nullptr) {
        m_fileName.clear();
        return false;
    }
    m_fileName = path;
    m_separators = SystemSeparators();
    WriteLine(QStringLiteral("Logfile opend: ") +
              QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    WriteLine(QStringLiteral("Program:") + WithProgramVersion(ProgramFilePath()));
    QString system;
    try {
        system = m_describe();
    } catch (const std::exception& error) {
        // The log must stay usable: say what failed instead of the description.
        system = QStringLiteral("unknown (") + QString::fromLocal8Bit(error.what()) + u')';
    }
    WriteLine(QStringLiteral("Operating System: ") + system);
    return true;
}

void ZelLog::WriteBytes(const char* bytes, std::size_t length) {
    if (m_file == nullptr) {
        Open(DefaultPath());
    }
    if (m_file == nullptr) {
        return;
    }
    if (m_timeStamps) {
        const std::string stamp = TimeValueToText(CurrentTimeValue(), 3, 12, m_separators.time,
                                                  m_separators.decimal, true);
        std::fwrite(stamp.data(), 1, stamp.size(), m_file);
        std::fputc('\t', m_file);
    }
    std::fwrite(bytes, 1, length, m_file);
    std::fputc('\n', m_file);
    // To the operating system at once: a crash or a kill must not take the last lines.
    std::fflush(m_file);
}

const QString& ZelLog::WriteLine(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    WriteBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return text;
}

const char* ZelLog::WriteLine(const char* text) {
    WriteBytes(text, text != nullptr ? std::strlen(text) : 0);
    return text;
}

}  // namespace harvel
