#pragma once

#include <QString>
#include <memory>

class QUdpSocket;

namespace harvel {

// The broadcast address of the network of a local IPv4 address given as text, in the
// zero-filled dotted form ("192.168.001.255"); a text that is not four numbers counts
// as 10.0.0.0.
[[nodiscard]] QString BroadcastAddressOf(const QString& localIp);
// The machine's primary IPv4 address: the first non-loopback address of an interface
// that is up; "" when there is none.
[[nodiscard]] QString LocalIPv4();
// The broadcast address of LocalIPv4(); "127.0.0.1" when no address can be had.
[[nodiscard]] QString GetBroadcastAddress();

// A UDP client bound to all local addresses on any port, receive buffer 65535 bytes,
// broadcasting allowed. Raises std::runtime_error when it cannot be bound.
[[nodiscard]] std::unique_ptr<QUdpSocket> CreateUdpClient();

}  // namespace harvel
