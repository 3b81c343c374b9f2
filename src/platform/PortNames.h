#pragma once

#include <QString>
#include <QStringList>

namespace harvel {

// Where COM port numbers lead on a system without COM ports. COMn is, in order:
//   the link <ports folder>/comN when it exists (any path: a device, a by-id name, a pty);
//   COM1-32 /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31.
// The folders are parameters so that tests can build their own tree.
class PortNames {
public:
    // The ports folder of the user ($XDG_CONFIG_HOME/harvel/ports) and the system's /dev, /sys.
    PortNames();
    PortNames(QString portsFolder, QString devFolder, QString sysFolder);

    // The path to open for COMn; "" when n has no place in any range and no link.
    [[nodiscard]] QString DevicePath(int comNumber) const;
    // The COM number of a device name "COMn" or "\\.\COMn" (0 when it is neither).
    [[nodiscard]] static int ComNumberOf(const QString& deviceName);
    // "COMn" for every port that can be opened: the links, the USB and ACM nodes present,
    // and the ttyS nodes with a UART behind them; sorted by number, no duplicates.
    [[nodiscard]] QStringList Enumerate() const;

    [[nodiscard]] const QString& PortsFolder() const { return m_ports; }

private:
    QString m_ports;
    QString m_dev;
    QString m_sys;
};

}  // namespace harvel
