#include "platform/UsbBridge.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTimer>

#include "tools/SystemInfo.h"

namespace harvel {
namespace {

constexpr int kAnswerTimeoutMs = 1500;
constexpr qsizetype kMaxLine = 65536;

}  // namespace

QByteArray EscapeBridgeText(const QString& text) {
    QByteArray out;
    for (const char ch : text.toUtf8()) {
        if (ch == '\\')
            out += "\\\\";
        else if (ch == '\r')
            out += "\\r";
        else if (ch == '\n')
            out += "\\n";
        else
            out += ch;
    }
    return out;
}

QString UnescapeBridgeText(const QByteArray& bytes) {
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 1 < bytes.size()) {
            const char next = bytes[++i];
            out += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
        } else {
            out += bytes[i];
        }
    }
    return QString::fromUtf8(out);
}

QString UsbBridge::DefaultServerName() {
    return GetTempDir() + QStringLiteral("/harvel-vora-usb");
}

VoraUSBFactory DefaultVoraUSBFactory() {
    return [](QObject* owner) -> std::unique_ptr<TVoraUSB> {
        return std::make_unique<UsbBridge>(UsbBridge::DefaultServerName(), owner);
    };
}

UsbBridge::UsbBridge(QString serverName, QObject* owner)
    : TVoraUSB(owner),
      m_serverName(std::move(serverName)),
      m_socket(new QLocalSocket(this)),
      m_retry(new QTimer(this)) {
    connect(m_socket, &QLocalSocket::readyRead, this, &UsbBridge::OnReadable);
    connect(m_socket, &QLocalSocket::disconnected, this, &UsbBridge::OnDisconnected);
    connect(m_socket, &QLocalSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QLocalSocket::UnconnectedState) {
            OnDisconnected();
        }
    });
    m_retry->setInterval(1000);
    connect(m_retry, &QTimer::timeout, this, &UsbBridge::TryConnect);
    TryConnect();
}

UsbBridge::~UsbBridge() {
    m_socket->disconnect(this);
    m_socket->abort();
}

void UsbBridge::TryConnect() {
    if (m_socket->state() != QLocalSocket::UnconnectedState) {
        return;
    }
    m_socket->connectToServer(m_serverName);
    if (m_socket->waitForConnected(200)) {
        m_retry->stop();
        OnReadable();
    } else {
        m_socket->abort();
        m_retry->start();
    }
}

void UsbBridge::OnDisconnected() {
    m_pending.clear();
    SetDeviceCount(0);
    if (!m_retry->isActive()) {
        m_retry->start();
    }
}

void UsbBridge::Post(std::function<void()> event) {
    m_posted.push_back(std::move(event));
    if (m_posted.size() == 1) {
        QTimer::singleShot(0, this, &UsbBridge::DeliverPosted);
    }
}

void UsbBridge::DeliverPosted() {
    // Each event is taken off first: a handler's modal box lets further events through.
    while (!m_posted.empty()) {
        auto event = std::move(m_posted.front());
        m_posted.pop_front();
        event();
    }
}

void UsbBridge::SetDeviceCount(int count) {
    const int before = m_devices;
    m_devices = std::max(0, count);
    if (before < 1 && m_devices >= 1) {
        Post([this] {
            if (OnPnPConnect)
                OnPnPConnect(*this);
        });
    } else if (before >= 1 && m_devices < 1) {
        Post([this] {
            if (OnPnPRemove)
                OnPnPRemove(*this);
        });
    }
}

void UsbBridge::OnReadable() {
    m_pending += m_socket->readAll();
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
        QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        HandleLine(line);
    }
    if (m_pending.size() > kMaxLine) {
        m_pending.clear();  // a driver that sends no line ends is not heard
    }
}

void UsbBridge::HandleLine(const QByteArray& line) {
    const qsizetype space = line.indexOf(' ');
    const QByteArray word = space < 0 ? line : line.left(space);
    const QByteArray rest = space < 0 ? QByteArray() : line.mid(space + 1);
    bool ok = false;
    if (word == "DEVICES") {
        const int count = rest.trimmed().toInt(&ok);
        if (ok)
            SetDeviceCount(count);
    } else if (word == "API") {
        m_apiVersion = UnescapeBridgeText(rest);
    } else if (word == "DRIVER") {
        m_driverVersion = UnescapeBridgeText(rest);
    } else if (word == "STATUS") {
        const qsizetype gap = rest.indexOf(' ');
        const int code = (gap < 0 ? rest : rest.left(gap)).toInt(&ok);
        if (ok && m_waitingForStatus) {
            m_status = code;
            m_statusText = gap < 0 ? QString() : UnescapeBridgeText(rest.mid(gap + 1));
            m_statusArrived = true;
        }
    } else if (word == "INPUT") {
        const QString text = UnescapeBridgeText(rest);
        Post([this, text] {
            if (OnUSBInput)
                OnUSBInput(*this, text);
        });
    } else if (word == "MESSAGE") {
        const QString text = UnescapeBridgeText(rest);
        Post([this, text] {
            if (OnMessage)
                OnMessage(*this, text);
        });
    } else if (word == "ERROR") {
        const qsizetype gap = rest.indexOf(' ');
        const int code = (gap < 0 ? rest : rest.left(gap)).toInt(&ok);
        const QString text = gap < 0 ? QString() : UnescapeBridgeText(rest.mid(gap + 1));
        if (ok) {
            Post([this, code, text] {
                if (OnError)
                    OnError(*this, code, text);
            });
        }
    }
    // Anything else is not of this protocol: ignored.
}

int UsbBridge::Request(const QByteArray& command) {
    if (m_socket->state() != QLocalSocket::ConnectedState) {
        m_status = -1;
        m_statusText = QStringLiteral("No USB driver is running");
        return m_status;
    }
    m_waitingForStatus = true;
    m_statusArrived = false;
    m_socket->write(command + '\n');
    m_socket->flush();
    QElapsedTimer timer;
    timer.start();
    while (!m_statusArrived && m_socket->state() == QLocalSocket::ConnectedState &&
           timer.elapsed() < kAnswerTimeoutMs) {
        if (m_socket->bytesAvailable() == 0) {
            m_socket->waitForReadyRead(static_cast<int>(kAnswerTimeoutMs - timer.elapsed()));
        }
        OnReadable();
    }
    m_waitingForStatus = false;
    if (!m_statusArrived) {
        m_status = -1;
        m_statusText = QStringLiteral("The USB driver did not answer");
    }
    return m_status;
}

void UsbBridge::Init() {
    TryConnect();
    Request("INIT");
}

int UsbBridge::NumDevices() {
    if (m_socket->state() == QLocalSocket::ConnectedState && m_socket->bytesAvailable() > 0) {
        OnReadable();
    }
    return m_devices;
}

int UsbBridge::OpenConnection(int deviceNbr) {
    return Request("OPEN " + QByteArray::number(deviceNbr));
}

int UsbBridge::CloseConnection() {
    return Request("CLOSE");
}

}  // namespace harvel
