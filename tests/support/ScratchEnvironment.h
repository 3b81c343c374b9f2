#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

namespace harvel::test {

// Points HOME, XDG_CONFIG_HOME and TMPDIR at fresh folders for the fixture's lifetime, so
// a test never touches the real user's files; the previous values come back afterwards.
class ScratchEnvironment {
public:
    ScratchEnvironment()
        : m_home(Swap("HOME", m_root.path() + QStringLiteral("/home"))),
          m_config(Swap("XDG_CONFIG_HOME", m_root.path() + QStringLiteral("/config"))),
          m_temp(Swap("TMPDIR", m_root.path() + QStringLiteral("/tmp"))) {}
    ~ScratchEnvironment() {
        Restore("HOME", m_home);
        Restore("XDG_CONFIG_HOME", m_config);
        Restore("TMPDIR", m_temp);
    }
    ScratchEnvironment(const ScratchEnvironment&) = delete;
    ScratchEnvironment& operator=(const ScratchEnvironment&) = delete;

    [[nodiscard]] QString Root() const { return m_root.path(); }
    [[nodiscard]] QString Config() const { return m_root.path() + QStringLiteral("/config"); }
    [[nodiscard]] QString Temp() const { return m_root.path() + QStringLiteral("/tmp"); }

private:
    struct Saved {
        bool had;
        QByteArray value;
    };
    Saved Swap(const char* name, const QString& path) {
        QDir().mkpath(path);
        Saved saved{qEnvironmentVariableIsSet(name), qgetenv(name)};
        qputenv(name, path.toLocal8Bit());
        return saved;
    }
    static void Restore(const char* name, const Saved& saved) {
        if (saved.had) {
            qputenv(name, saved.value);
        } else {
            qunsetenv(name);
        }
    }

    QTemporaryDir m_root;
    Saved m_home;
    Saved m_config;
    Saved m_temp;
};

}  // namespace harvel::test
