#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace harvel::test {

// Runs Debian's Python (which sees python3-xlrd and python3-xlwt) on a script; returns
// its standard output, or a text starting with "ERROR" when it failed.
inline QString RunPython(const QString& script, const QStringList& arguments = {}) {
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  QStringList{QStringLiteral("-c"), script} + arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        return QStringLiteral("ERROR ") + QString::fromUtf8(process.readAllStandardError());
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace harvel::test
