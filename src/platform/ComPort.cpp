#include "platform/ComPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <exception>

#include "platform/Errors.h"
#include "platform/Interaction.h"
#include "platform/PortNames.h"

#ifdef __linux__
#include <asm/ioctls.h>
// The kernel's termios2, for rates without a B-constant (declared here: the kernel's own
// header clashes with the C library's termios.h).
struct termios2 {
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
#ifndef BOTHER
#define BOTHER 0010000
#endif
#endif

namespace harvel {
namespace {

struct RateEntry {
    TBaudRate rate;
    int bps;
    speed_t constant;  // 0: no B-constant, set through termios2
};

const RateEntry kRates[] = {
    {TBaudRate::br50, 50, B50},          {TBaudRate::br75, 75, B75},
    {TBaudRate::br110, 110, B110},       {TBaudRate::br134_5, 134, B134},
    {TBaudRate::br150, 150, B150},       {TBaudRate::br300, 300, B300},
    {TBaudRate::br600, 600, B600},       {TBaudRate::br1200, 1200, B1200},
    {TBaudRate::br1800, 1800, B1800},    {TBaudRate::br2000, 2000, 0},
    {TBaudRate::br2400, 2400, B2400},    {TBaudRate::br3600, 3600, 0},
    {TBaudRate::br4800, 4800, B4800},    {TBaudRate::br7200, 7200, 0},
    {TBaudRate::br9600, 9600, B9600},    {TBaudRate::br10400, 10400, 0},
    {TBaudRate::br14400, 14400, 0},      {TBaudRate::br15625, 15625, 0},
    {TBaudRate::br19200, 19200, B19200}, {TBaudRate::br28800, 28800, 0},
    {TBaudRate::br38400, 38400, B38400}, {TBaudRate::br56000, 56000, 0},
    {TBaudRate::br57600, 57600, B57600}, {TBaudRate::br115200, 115200, B115200},
    {TBaudRate::br128000, 128000, 0},    {TBaudRate::br256000, 256000, 0},
};

QString SystemError(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

int RateOf(TBaudRate rate) {
    for (const RateEntry& entry : kRates) {
        if (entry.rate == rate) {
            return entry.bps;
        }
    }
    return 0;
}

TComPort::TComPort(QObject* parent)
    : QObject(parent), m_names(std::make_shared<PortNames>()), m_pollTimer(new QTimer(this)) {
    m_pollTimer->setInterval(20);
    connect(m_pollTimer, &QTimer::timeout, this, &TComPort::PollModemAndOutput);
}

TComPort::~TComPort() {
    Close();
}

void TComPort::SetPortNames(std::shared_ptr<const PortNames> names) {
    m_names = std::move(names);
}

QString TComPort::DevicePath() const {
    if (m_deviceName.startsWith(u'/')) {
        return m_deviceName;
    }
    return m_names->DevicePath(PortNames::ComNumberOf(m_deviceName));
}

void TComPort::EnumComDevices(QStringList& names) const {
    names << m_names->Enumerate();
}

void TComPort::RaiseError(const QString& message) {
    TErrorAction action = TErrorAction::caFail;
    if (OnError) {
        OnError(*this, message, action);
    }
    if (action == TErrorAction::caAbort) {
        throw EAbort();
    }
    throw EComError(message.toStdString());
}

void TComPort::CheckOpen() {
    if (m_fd < 0) {
        RaiseError(QStringLiteral("Can't perform this operation on a closed port"));
    }
}

void TComPort::SetDeviceName(const QString& name) {
    if (name == m_deviceName) {
        return;
    }
    if (GetActive()) {
        RaiseError(QStringLiteral("Can't change the device name while the port is open"));
    }
    m_deviceName = name;
}

void TComPort::SetActive(bool active) {
    if (active && !GetActive()) {
        Open();
    } else if (!active && GetActive()) {
        Close();
    }
}

void TComPort::Open() {
    const QString path = DevicePath();
    if (path.isEmpty()) {
        RaiseError(QStringLiteral("Serial port %1 not found").arg(m_deviceName));
    }
    const QByteArray native = path.toLocal8Bit();
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        RaiseError(SystemError(QStringLiteral("Could not open %1 (%2)").arg(m_deviceName, path)));
    }
    if (!isatty(fd)) {
        ::close(fd);
        RaiseError(QStringLiteral("%1 (%2) is not a serial device").arg(m_deviceName, path));
    }
    // A second opener is refused, whether it locks (flock) or not (TIOCEXCL).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        RaiseError(QStringLiteral("%1 (%2) is in use by another program").arg(m_deviceName, path));
    }
    ioctl(fd, TIOCEXCL);
    m_fd = fd;
    try {
        ApplyLineSettings();
    } catch (...) {
        Close();
        throw;
    }
    m_input.clear();
    m_output.clear();
    int lines = 0;
    m_modemLinesReadable = ioctl(m_fd, TIOCMGET, &lines) == 0;
    m_lastModem = GetModemStatus();
    ApplyModemLines();

    m_readNotifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &TComPort::OnReadable);
    m_writeNotifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &TComPort::OnWritable);
    if (m_modemLinesReadable) {
        m_pollTimer->start();
    }
}

void TComPort::Close() {
    if (m_fd < 0) {
        return;
    }
    m_pollTimer->stop();
    for (QSocketNotifier* notifier : {m_readNotifier, m_writeNotifier}) {
        if (notifier != nullptr) {
            notifier->setEnabled(false);
            notifier->deleteLater();  // we may be inside its signal
        }
    }
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
    ::close(m_fd);  // releases the lock
    m_fd = -1;
    m_txPending = false;
    m_output.clear();
}

void TComPort::ApplyLineSettings() {
    if (m_fd < 0) {
        return;
    }
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0) {
        RaiseError(
            SystemError(QStringLiteral("Could not read the settings of %1").arg(m_deviceName)));
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;

    switch (m_dataBits) {
        case TDataBits::dbDefault:
            break;
        case TDataBits::db4:
            RaiseError(QStringLiteral("4 data bits are not supported by %1").arg(m_deviceName));
        case TDataBits::db5:
            tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS5;
            break;
        case TDataBits::db6:
            tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS6;
            break;
        case TDataBits::db7:
            tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7;
            break;
        case TDataBits::db8:
            tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS8;
            break;
    }
    switch (m_parity) {
        case TParity::paDefault:
            break;
        case TParity::paNone:
            tio.c_cflag &= ~(PARENB | PARODD | CMSPAR);
            break;
        case TParity::paOdd:
            tio.c_cflag = (tio.c_cflag & ~CMSPAR) | PARENB | PARODD;
            break;
        case TParity::paEven:
            tio.c_cflag = (tio.c_cflag & ~(CMSPAR | PARODD)) | PARENB;
            break;
        case TParity::paMark:
            tio.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        case TParity::paSpace:
            tio.c_cflag = (tio.c_cflag & ~PARODD) | PARENB | CMSPAR;
            break;
    }
    switch (m_stopBits) {
        case TStopBits::sbDefault:
            break;
        case TStopBits::sb1:
            tio.c_cflag &= ~CSTOPB;
            break;
        case TStopBits::sb1_5:
        case TStopBits::sb2:
            tio.c_cflag |= CSTOPB;
            break;
    }
    const bool ctsFlow =
        (m_options & opOutputCTSFlow) != 0 || m_rtsControl == TRTSControl::rcHandshake;
    if (ctsFlow) {
        tio.c_cflag |= CRTSCTS;
    } else {
        tio.c_cflag &= ~CRTSCTS;
    }

    int customRate = 0;
    if (m_baudRate == TBaudRate::brCustom) {
        customRate = m_customBaudRate;
    } else if (m_baudRate != TBaudRate::brDefault) {
        for (const RateEntry& entry : kRates) {
            if (entry.rate == m_baudRate) {
                if (entry.constant != 0) {
                    cfsetispeed(&tio, entry.constant);
                    cfsetospeed(&tio, entry.constant);
                } else {
                    customRate = entry.bps;
                }
            }
        }
    }
    if (tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        RaiseError(
            SystemError(QStringLiteral("Could not apply the settings of %1").arg(m_deviceName)));
    }
    if (customRate > 0) {
#ifdef __linux__
        termios2 tio2{};
        if (ioctl(m_fd, TCGETS2, &tio2) == 0) {
            tio2.c_cflag = (tio2.c_cflag & ~CBAUD) | BOTHER;
            tio2.c_ispeed = static_cast<speed_t>(customRate);
            tio2.c_ospeed = static_cast<speed_t>(customRate);
            if (ioctl(m_fd, TCSETS2, &tio2) != 0) {
                RaiseError(SystemError(
                    QStringLiteral("%1 does not offer %2 baud").arg(m_deviceName).arg(customRate)));
            }
        }
#else
        RaiseError(QStringLiteral("%1 does not offer %2 baud").arg(m_deviceName).arg(customRate));
#endif
    }
}

void TComPort::ApplyModemLines() {
    if (m_fd < 0) {
        return;
    }
    // Pseudo-terminals have no modem lines and refuse these calls: nothing to do then.
    int dtr = TIOCM_DTR;
    ioctl(m_fd, m_dtr ? TIOCMBIS : TIOCMBIC, &dtr);
    int rts = TIOCM_RTS;
    if (m_rtsControl == TRTSControl::rcEnable) {
        ioctl(m_fd, TIOCMBIS, &rts);
    } else if (m_rtsControl == TRTSControl::rcDisable) {
        ioctl(m_fd, TIOCMBIC, &rts);
    }
}

void TComPort::SetBaudRate(TBaudRate rate) {
    m_baudRate = rate;
    ApplyLineSettings();
}

void TComPort::SetDataBits(TDataBits bits) {
    m_dataBits = bits;
    ApplyLineSettings();
}

void TComPort::SetParity(TParity parity) {
    m_parity = parity;
    ApplyLineSettings();
}

void TComPort::SetStopBits(TStopBits bits) {
    m_stopBits = bits;
    ApplyLineSettings();
}

void TComPort::SetOptions(TComOptions options) {
    m_options = options;
    ApplyLineSettings();
}

void TComPort::SetRTSControl(TRTSControl control) {
    m_rtsControl = control;
    ApplyLineSettings();
    ApplyModemLines();
}

void TComPort::SetDTR(bool on) {
    m_dtr = on;
    ApplyModemLines();
}

void TComPort::OnReadable() {
    if (m_fd < 0) {
        return;
    }
    char buffer[4096];
    bool gotData = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            m_input.append(buffer, n);
            gotData = true;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // End of file or an I/O error: the device is gone (adapter unplugged, the other
        // end of a pseudo-terminal closed). Deliver what came before it first.
        if (gotData) {
            DeliverInput();
        }
        HangUp(n == 0 ? QStringLiteral("%1 was disconnected").arg(m_deviceName)
                      : SystemError(QStringLiteral("%1 was disconnected").arg(m_deviceName)));
        return;
    }
    if (gotData) {
        DeliverInput();
    }
}

void TComPort::DeliverInput() {
    if (!OnRxChar) {
        return;
    }
    try {
        OnRxChar(*this, static_cast<int>(m_input.size()));
    } catch (const EAbort&) {
    } catch (const std::exception& error) {
        // As the application's handler does with an error that reached the event loop.
        Ui().ShowException(QString::fromLocal8Bit(error.what()));
    }
}

void TComPort::HangUp(const QString& reason) {
    Close();
    try {
        RaiseError(reason);
    } catch (const std::exception&) {
        // Nobody called us to catch it: the owner learns of it through OnError and OnHangUp.
    }
    if (OnHangUp) {
        OnHangUp(*this);
    }
}

QByteArray TComPort::ReadAnsiString() {
    CheckOpen();
    QByteArray bytes;
    bytes.swap(m_input);
    // Whatever arrived since the notifier fired belongs to this read too.
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // no more now; an end of file is seen by the notifier
        }
    }
    return bytes;
}

void TComPort::WriteByte(char byte) {
    CheckOpen();
    m_output.append(byte);
    FlushOutput();
    if (m_output.size() > m_outputSize) {
        // The device takes nothing: wait up to the write time-out, then give up.
        pollfd pfd{m_fd, POLLOUT, 0};
        if (::poll(&pfd, 1, m_writeConstant) <= 0) {
            RaiseError(QStringLiteral("Write timeout on %1").arg(m_deviceName));
        }
        FlushOutput();
    }
}

void TComPort::FlushOutput() {
    while (!m_output.isEmpty() && m_fd >= 0) {
        const ssize_t n = ::write(m_fd, m_output.constData(), static_cast<size_t>(m_output.size()));
        if (n > 0) {
            m_output.remove(0, n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    m_txPending = true;
    if (m_writeNotifier != nullptr) {
        m_writeNotifier->setEnabled(!m_output.isEmpty());
    }
    if (m_output.isEmpty() && !m_pollTimer->isActive()) {
        m_pollTimer->start();
    }
}

void TComPort::OnWritable() {
    FlushOutput();
}

void TComPort::PurgeOutput() {
    CheckOpen();
    m_output.clear();
    tcflush(m_fd, TCOFLUSH);
    if (m_writeNotifier != nullptr) {
        m_writeNotifier->setEnabled(false);
    }
}

TModemStatus TComPort::GetModemStatus() {
    TModemStatus status;
    int lines = 0;
    if (m_fd >= 0 && ioctl(m_fd, TIOCMGET, &lines) == 0) {
        status.cts = (lines & TIOCM_CTS) != 0;
        status.dsr = (lines & TIOCM_DSR) != 0;
        status.ring = (lines & TIOCM_RI) != 0;
        status.rlsd = (lines & TIOCM_CD) != 0;
    }
    return status;
}

void TComPort::PollModemAndOutput() {
    if (m_fd < 0) {
        m_pollTimer->stop();
        return;
    }
    if (m_txPending && m_output.isEmpty()) {
        int queued = 0;
        if (ioctl(m_fd, TIOCOUTQ, &queued) != 0 || queued == 0) {
            m_txPending = false;
            if (OnTxEmpty) {
                OnTxEmpty(*this);
            }
        }
    }
    if (m_fd >= 0 && m_modemLinesReadable) {
        const TModemStatus now = GetModemStatus();
        const TModemStatus before = m_lastModem;
        m_lastModem = now;
        if (now.cts != before.cts && OnCTSChange)
            OnCTSChange(*this);
        if (now.dsr != before.dsr && OnDSRChange)
            OnDSRChange(*this);
        if (now.ring != before.ring && OnRing)
            OnRing(*this);
        if (now.rlsd != before.rlsd && OnRLSDChange)
            OnRLSDChange(*this);
    }
    if (m_fd >= 0 && !m_txPending && !m_modemLinesReadable) {
        m_pollTimer->stop();
    }
}

}  // namespace harvel
