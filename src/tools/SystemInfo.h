#pragma once

#include <QString>
#include <functional>

namespace harvel {

// The temporary directory without a trailing separator: $TMPDIR when it is a directory,
// else the system's fallback (created if missing), else "".
[[nodiscard]] QString GetTempDir();
// The Windows directory; "" on systems without one.
[[nodiscard]] QString GetWindowsDir();

// The file-version text of a program built by this project ("1,0,0,5"), "No Version"
// when its version mark is empty, "" when it has none or cannot be read.
[[nodiscard]] QString FileVersionText(const QString& path);
// `text`, " V" and the running program's version text; `text` alone when that is empty.
[[nodiscard]] QString WithProgramVersion(const QString& text);
// Path of the running program file.
[[nodiscard]] QString ProgramFilePath();

// Whether a 32-bit process runs on 64-bit Windows; false elsewhere.
[[nodiscard]] bool IsWow64();

struct WindowsVersion {
    int major = 0;
    int minor = 0;
    int platformId = 2;
    QString servicePack;
};
// The Windows name and edition text of a version; `isWow64` is asked only for the
// editions that show the bitness, and may raise.
[[nodiscard]] QString WindowsName(const WindowsVersion& version,
                                  const std::function<bool()>& isWow64);
// The running system's name and version, with " 64 Bit" or " 32 Bit".
[[nodiscard]] QString OperatingSystemName();

}  // namespace harvel
