#include "udp/UdpOutput.h"

#include <sys/socket.h>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QStringList>
#include <QUdpSocket>
#include <QVariant>
#include <stdexcept>

#include "rareze/UsbLineParser.h"
#include "tools/Ansi.h"
#include "tools/TimeText.h"

namespace harvel {
namespace {

int PartOrDefault(const QStringList& parts, int index, int fallback) {
    if (index >= parts.size()) {
        return fallback;
    }
    return DecimalOrDefault(ToAnsi(parts[index]), fallback);
}

QString Fixed3(int value) {
    return QString::fromLatin1(IntToFixedText(value, 3, true));
}

}  // namespace

QString BroadcastAddressOf(const QString& localIp) {
    const QStringList parts = localIp.split(u'.');
    const int a = PartOrDefault(parts, 0, 10);
    const int b = PartOrDefault(parts, 1, 0);
    const int c = PartOrDefault(parts, 2, 0);
    const int d = PartOrDefault(parts, 3, 0);
    if (a >= 1 && a <= 127) {
        if (a == 127 && b == 0 && c == 0 && d == 1) {
            return QStringLiteral("127.000.000.001");
        }
        return Fixed3(a) + QStringLiteral(".255.255.255");
    }
    if (a >= 128 && a <= 191) {
        return Fixed3(a) + u'.' + Fixed3(b) + QStringLiteral(".255.255");
    }
    return Fixed3(a) + u'.' + Fixed3(b) + u'.' + Fixed3(c) + QStringLiteral(".255");
}

QString LocalIPv4() {
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || (flags & QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress address = entry.ip();
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) {
                return address.toString();
            }
        }
    }
    return {};
}

QString GetBroadcastAddress() {
    const QString local = LocalIPv4();
    return local.isEmpty() ? QStringLiteral("127.0.0.1") : BroadcastAddressOf(local);
}

std::unique_ptr<QUdpSocket> CreateUdpClient() {
    auto socket = std::make_unique<QUdpSocket>();
    if (!socket->bind(QHostAddress::AnyIPv4, 0)) {
        throw std::runtime_error("The UDP client could not be bound: " +
                                 socket->errorString().toStdString());
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(65535));
    const int on = 1;
    ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_BROADCAST, &on,
                 sizeof on);
    return socket;
}

}  // namespace harvel
