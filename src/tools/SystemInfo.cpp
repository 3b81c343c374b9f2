#include "tools/SystemInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QOperatingSystemVersion>
#include <QSysInfo>
#include <stdexcept>

namespace harvel {
namespace {

QString WithoutTrailingSeparator(QString path) {
    if (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\'))) {
        path.chop(1);
    }
    return path;
}

// Searched for as this text and a colon, so that this constant itself never matches.
constexpr char kVersionMarker[] = "HARVEL-FILEVERSION";

}  // namespace

// The version mark the build places in every program file: the marker, a colon, the
// version text in the "1, 0, 0, 5" form, then a zero byte.
extern const char kHarvelFileVersion[];
__attribute__((used)) const char kHarvelFileVersion[] = "HARVEL-FILEVERSION:" HARVEL_VERSION_TEXT;

QString GetWindowsDir() {
#ifdef Q_OS_WIN
    const QString dir = qEnvironmentVariable("WINDIR");
    return (!dir.isEmpty() && QFileInfo(dir).isDir()) ? WithoutTrailingSeparator(dir) : QString();
#else
    return {};
#endif
}

QString GetTempDir() {
#ifdef Q_OS_WIN
    const QString temp = qEnvironmentVariable("TEMP");
    const QString fallbackParent = GetWindowsDir();
    const QString fallback =
        fallbackParent.isEmpty() ? QString() : fallbackParent + QStringLiteral("\\Temp");
#else
    const QString temp = qEnvironmentVariable("TMPDIR");
    const QString fallback = QStringLiteral("/tmp");
#endif
    if (!temp.isEmpty() && QFileInfo(temp).isDir()) {
        return WithoutTrailingSeparator(temp);
    }
    if (fallback.isEmpty()) {
        return {};
    }
    if (QFileInfo(fallback).isDir() || QDir().mkpath(fallback)) {
        return fallback;
    }
    return {};
}

QString ProgramFilePath() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationFilePath();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString FileVersionText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // Read in blocks that overlap by the marker's length, so a mark across a block
    // boundary is found too.
    const QByteArray marker = QByteArray(kVersionMarker) + ':';
    constexpr qint64 kBlock = 1 << 20;
    QByteArray carry;
    while (!file.atEnd()) {
        QByteArray block = carry + file.read(kBlock);
        const qsizetype at = block.indexOf(marker);
        if (at >= 0) {
            QByteArray rest = block.mid(at + marker.size());
            while (!rest.contains('\0') && !file.atEnd() && rest.size() < 256) {
                rest += file.read(256);
            }
            const QByteArray version = rest.left(rest.indexOf('\0'));
            if (version.isEmpty()) {
                return QStringLiteral("No Version");
            }
            return QString::fromLatin1(version).remove(u' ');
        }
        carry = block.right(marker.size());
    }
    return {};
}

QString WithProgramVersion(const QString& text) {
    const QString version = FileVersionText(ProgramFilePath());
    return version.isEmpty() ? text : text + QStringLiteral(" V") + version;
}

bool IsWow64() {
#if defined(Q_OS_WIN)
    // A 32-bit build on a 64-bit system.
    return QSysInfo::WordSize == 32 &&
           QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"));
#else
    return false;
#endif
}

QString WindowsName(const WindowsVersion& v, const std::function<bool()>& isWow64) {
    const QString s = v.servicePack;
    const auto bits = [&] {
        return isWow64() ? QStringLiteral(" 64 Bit") : QStringLiteral(" 32 Bit");
    };
    const QString windows = QStringLiteral("Windows ");
    switch (v.major) {
        case 4:
            if (v.platformId == 1) {
                switch (v.minor) {
                    case 0:
                        return windows + QStringLiteral("95 ") + s;
                    case 10:
                        return windows + QStringLiteral("98 ") + s;
                    case 90:
                        return windows + QStringLiteral("ME ") + s;
                    default:
                        return windows + QStringLiteral("?? %1.%2 ").arg(v.major).arg(v.minor) + s;
                }
            }
            return windows + QStringLiteral("NT %1.%2 ").arg(v.major).arg(v.minor) + s;
        case 5:
            switch (v.minor) {
                case 0:
                    return windows + QStringLiteral("2000 ") + s;
                case 1:
                    return windows + QStringLiteral("XP ") + s;
                case 2:
                    return windows + QStringLiteral("Server 2003/XP64 ") + s + bits();
                default:
                    return windows;
            }
        case 6:
            if (v.minor == 0) {
                return windows + QStringLiteral("Vista/Server 2008 ") + s + bits();
            }
            return windows + QStringLiteral("7 or higher ") + s + bits();
        default:
            return QStringLiteral("Unknown OS");
    }
}

QString OperatingSystemName() {
#ifdef Q_OS_WIN
    const QOperatingSystemVersion current = QOperatingSystemVersion::current();
    return WindowsName({current.majorVersion(), current.minorVersion(), 2, QString()}, IsWow64);
#endif
    // Users expect the system they run, so outside Windows its own name and version.
    const bool system64 = QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"));
    return QSysInfo::prettyProductName() + QStringLiteral(" (") + QSysInfo::kernelType() + u' ' +
           QSysInfo::kernelVersion() + u')' +
           (system64 ? QStringLiteral(" 64 Bit") : QStringLiteral(" 32 Bit"));
}

}  // namespace harvel
