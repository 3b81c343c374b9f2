#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

namespace harvel {

// A settings read or write that failed; the caller decides what the user sees.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Key paths below HKEY_CURRENT_USER.
inline const QString SettingsKey = QStringLiteral("Software\\PELK-RAREZE\\Vora\\Harvel\\Settings");
inline const QString FilesKey = QStringLiteral("Software\\PELK-RAREZE\\Vora\\Harvel\\Files");
inline const QString ShellFoldersKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");

// The per-user settings store. On Windows the registry of the current user; elsewhere
// the file settings.reg in the per-user configuration folder, in the registry's export
// text, typed like the registry (integers and strings). Every call opens the store and
// closes it again; a read that finds nothing writes its default back.
class TRegTools {
public:
    [[nodiscard]] QString ReadString(const QString& key, const QString& name,
                                     const QString& defaultValue);
    [[nodiscard]] int ReadInteger(const QString& key, const QString& name, int defaultValue);
    void WriteString(const QString& key, const QString& name, const QString& value);
    void WriteInteger(const QString& key, const QString& name, int value);
    // The user's documents folder without one trailing separator, or "".
    [[nodiscard]] QString GetPersonalFolder();

    // The settings file on systems without a registry.
    [[nodiscard]] static QString StorePath();
    // Receives a warning when a settings file that does not parse is set aside.
    static void SetWarningSink(std::function<void(const QString&)> sink);
};

// Path of the per-user configuration folder ($XDG_CONFIG_HOME/harvel, default
// ~/.config/harvel).
[[nodiscard]] QString UserConfigFolder();

}  // namespace harvel
