#include "settings/RegTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

#include "settings/RegistryText.h"

namespace harvel {
namespace {

std::function<void(const QString&)>& WarningSink() {
    static std::function<void(const QString&)> sink;
    return sink;
}

#ifndef Q_OS_WIN
bool ReadRegistryFile(QIODevice& device, QSettings::SettingsMap& map) {
    const auto values = ParseRegistryText(device.readAll());
    if (!values) {
        return false;
    }
    map = *values;
    return true;
}

bool WriteRegistryFile(QIODevice& device, const QSettings::SettingsMap& map) {
    const QByteArray text = FormatRegistryText(map);
    return device.write(text) == text.size();
}

QSettings::Format RegistryFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("reg"), ReadRegistryFile, WriteRegistryFile);
    return format;
}

// A file that does not parse would be replaced at the next write: keep it aside first.
void SetAsideUnreadableFile(const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    if (ParseRegistryText(file.readAll())) {
        return;
    }
    file.close();
    QString aside = path + QStringLiteral(".bad");
    for (int n = 2; QFile::exists(aside); ++n) {
        aside = path + QStringLiteral(".bad%1").arg(n);
    }
    const bool moved = QFile::rename(path, aside);
    if (WarningSink()) {
        WarningSink()(
            moved ? QStringLiteral("Settings file %1 could not be read; kept as %2, "
                                   "starting with default settings")
                        .arg(path, aside)
                  : QStringLiteral("Settings file %1 could not be read nor set aside").arg(path));
    }
}

// The file exists before QSettings writes it, with user-only permissions that its
// atomic replacement keeps.
void PrepareStoreFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFile::exists(path)) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    } else {
        SetAsideUnreadableFile(path);
        if (!QFile::exists(path)) {
            PrepareStoreFile(path);
        }
    }
}
#endif

QString SettingsPath(const QString& key, const QString& name) {
    return QString(key).replace(u'\\', u'/') + u'/' + name;
}

std::unique_ptr<QSettings> OpenStore() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER"),
                                       QSettings::NativeFormat);
#else
    const QString path = TRegTools::StorePath();
    PrepareStoreFile(path);
    auto settings = std::make_unique<QSettings>(path, RegistryFormat());
    settings->setFallbacksEnabled(false);
    return settings;
#endif
}

void Write(const QString& key, const QString& name, const QVariant& value) {
    auto store = OpenStore();
    store->setValue(SettingsPath(key, name), value);
    store->sync();
    if (store->status() != QSettings::NoError) {
        throw RegistryError(QStringLiteral("Could not write the setting \"%1\" to %2")
                                .arg(name, store->fileName())
                                .toStdString());
    }
}

bool IsInteger(const QVariant& value) {
    const int type = value.typeId();
    return type == QMetaType::Int || type == QMetaType::UInt;
}

}  // namespace

QString UserConfigFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/harvel");
}

QString TRegTools::StorePath() {
    return UserConfigFolder() + QStringLiteral("/settings.reg");
}

void TRegTools::SetWarningSink(std::function<void(const QString&)> sink) {
    WarningSink() = std::move(sink);
}

QString TRegTools::ReadString(const QString& key, const QString& name,
                              const QString& defaultValue) {
#ifndef Q_OS_WIN
    // No shell folder list here: the documents folder comes from the system, never stored.
    if (key.compare(ShellFoldersKey, Qt::CaseInsensitive) == 0 &&
        name.compare(QLatin1String("Personal"), Qt::CaseInsensitive) == 0) {
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
#endif
    QVariant value;
    {
        auto store = OpenStore();
        value = store->value(SettingsPath(key, name));
    }
    if (value.isValid()) {
        if (value.typeId() != QMetaType::QString) {
            throw RegistryError(
                QStringLiteral("Invalid data type for \"%1\"").arg(name).toStdString());
        }
        return value.toString();
    }
    if (!defaultValue.isEmpty()) {
        WriteString(key, name, defaultValue);
    }
    return defaultValue;
}

int TRegTools::ReadInteger(const QString& key, const QString& name, int defaultValue) {
    QVariant value;
    {
        auto store = OpenStore();
        value = store->value(SettingsPath(key, name));
    }
    if (IsInteger(value)) {
        return value.toInt();
    }
    WriteInteger(key, name, defaultValue);
    return defaultValue;
}

void TRegTools::WriteString(const QString& key, const QString& name, const QString& value) {
    Write(key, name, QVariant(value));
}

void TRegTools::WriteInteger(const QString& key, const QString& name, int value) {
    Write(key, name, QVariant(value));
}

QString TRegTools::GetPersonalFolder() {
    QString folder = ReadString(ShellFoldersKey, QStringLiteral("Personal"), QString());
    if (!folder.isEmpty() && (folder.endsWith(u'\\') || folder.endsWith(u'/')) &&
        folder.size() > 1) {
        folder.chop(1);
    }
    return folder;
}

}  // namespace harvel
