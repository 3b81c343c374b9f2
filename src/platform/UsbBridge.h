#pragma once

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>

#include "platform/VoraUSB.h"

class QLocalSocket;
class QTimer;

namespace harvel {

// The USB control as a bridge to a driver process over a local socket (protocol in
// docs/USB_BRIDGE.md). No driver listening means no devices; the bridge keeps trying to
// reach one, so a driver started later shows up as a plug-in. Events are delivered on
// the thread that owns the bridge, never inside one of its calls.
class UsbBridge final : public TVoraUSB {
    Q_OBJECT

public:
    explicit UsbBridge(QString serverName, QObject* owner = nullptr);
    ~UsbBridge() override;

    void Init() override;
    [[nodiscard]] int NumDevices() override;
    int OpenConnection(int deviceNbr) override;
    [[nodiscard]] int USBStatusLast() override { return m_status; }
    [[nodiscard]] QString USBStatusLastAsString() override { return m_statusText; }
    [[nodiscard]] QString DriverInfoAPIVersionAsString() override { return m_apiVersion; }
    [[nodiscard]] QString DriverInfoDriverVersionAsString() override { return m_driverVersion; }
    int CloseConnection() override;

    // The socket name the program uses: "harvel-vora-usb" in the temporary directory.
    [[nodiscard]] static QString DefaultServerName();

private:
    void TryConnect();
    void OnReadable();
    void OnDisconnected();
    void HandleLine(const QByteArray& line);
    void SetDeviceCount(int count);
    int Request(const QByteArray& command);
    void Post(std::function<void()> event);
    void DeliverPosted();

    QString m_serverName;
    QLocalSocket* m_socket;
    QTimer* m_retry;
    QByteArray m_pending;
    int m_devices = 0;
    int m_status = 0;
    QString m_statusText;
    QString m_apiVersion;
    QString m_driverVersion;
    bool m_waitingForStatus = false;
    bool m_statusArrived = false;
    std::deque<std::function<void()>> m_posted;
};

// The factory the program uses: a bridge to the default socket name.
[[nodiscard]] VoraUSBFactory DefaultVoraUSBFactory();

// Escapes for one protocol line: backslash, CR and LF as \\, \r, \n.
[[nodiscard]] QByteArray EscapeBridgeText(const QString& text);
[[nodiscard]] QString UnescapeBridgeText(const QByteArray& bytes);

}  // namespace harvel
