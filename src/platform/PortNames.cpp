#include "platform/PortNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <set>

#include "settings/RegTools.h"

namespace harvel {
namespace {

struct Range {
    int firstCom;
    const char* node;
};
constexpr Range kRanges[] = {{1, "ttyS"}, {33, "ttyUSB"}, {65, "ttyACM"}};
constexpr int kRangeSize = 32;

}  // namespace

PortNames::PortNames()
    : PortNames(UserConfigFolder() + QStringLiteral("/ports"), QStringLiteral("/dev"),
                QStringLiteral("/sys")) {}

PortNames::PortNames(QString portsFolder, QString devFolder, QString sysFolder)
    : m_ports(std::move(portsFolder)), m_dev(std::move(devFolder)), m_sys(std::move(sysFolder)) {}

QString PortNames::DevicePath(int comNumber) const {
    if (comNumber < 1) {
        return {};
    }
    const QString link = m_ports + QStringLiteral("/com%1").arg(comNumber);
    // A link whose target is gone still names the port the user meant.
    if (QFileInfo(link).exists() || QFileInfo(link).isSymLink()) {
        return link;
    }
    for (const Range& range : kRanges) {
        if (comNumber >= range.firstCom && comNumber < range.firstCom + kRangeSize) {
            return m_dev + u'/' + QLatin1String(range.node) +
                   QString::number(comNumber - range.firstCom);
        }
    }
    return {};
}

int PortNames::ComNumberOf(const QString& deviceName) {
    static const QRegularExpression pattern(QStringLiteral("^(?:\\\\\\\\\\.\\\\)?COM(\\d+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(deviceName);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QStringList PortNames::Enumerate() const {
    std::set<int> numbers;
    static const QRegularExpression linkName(QStringLiteral("^com(\\d+)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QFileInfoList links =
        QDir(m_ports).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& link : links) {
        const auto match = linkName.match(link.fileName());
        if (match.hasMatch() && match.captured(1).toInt() > 0) {
            numbers.insert(match.captured(1).toInt());
        }
    }
    for (const Range& range : kRanges) {
        const bool needsUart = QLatin1String(range.node) == QLatin1String("ttyS");
        for (int i = 0; i < kRangeSize; ++i) {
            const QString node = QLatin1String(range.node) + QString::number(i);
            if (!QFileInfo::exists(m_dev + u'/' + node)) {
                continue;
            }
            if (needsUart) {
                // Most ttyS nodes exist without hardware; the driver's type says which have one.
                QFile type(m_sys + QStringLiteral("/class/tty/") + node + QStringLiteral("/type"));
                if (!type.open(QIODevice::ReadOnly) || type.readAll().trimmed().toInt() == 0) {
                    continue;
                }
            }
            numbers.insert(range.firstCom + i);
        }
    }
    QStringList names;
    for (const int n : numbers) {
        names << QStringLiteral("COM%1").arg(n);
    }
    return names;
}

}  // namespace harvel
