#include "links/ZedComThread.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/Errors.h"
#include "platform/Interaction.h"

namespace harvel {
namespace {

struct BaudEntry {
    int rate;
    TBaudRate value;
};

constexpr BaudEntry kBaudTable[] = {
    {0, TBaudRate::brDefault},     {50, TBaudRate::br50},         {75, TBaudRate::br75},
    {110, TBaudRate::br110},       {134, TBaudRate::br134_5},     {150, TBaudRate::br150},
    {300, TBaudRate::br300},       {600, TBaudRate::br600},       {1200, TBaudRate::br1200},
    {1800, TBaudRate::br1800},     {2000, TBaudRate::br2000},     {2400, TBaudRate::br2400},
    {3600, TBaudRate::br3600},     {4800, TBaudRate::br4800},     {7200, TBaudRate::br7200},
    {9600, TBaudRate::br9600},     {10400, TBaudRate::br10400},   {14400, TBaudRate::br14400},
    {15625, TBaudRate::br15625},   {19200, TBaudRate::br19200},   {28800, TBaudRate::br28800},
    {38400, TBaudRate::br38400},   {56000, TBaudRate::br56000},   {57600, TBaudRate::br57600},
    {115200, TBaudRate::br115200}, {128000, TBaudRate::br128000}, {256000, TBaudRate::br256000},
};

const QString kClosedPort = QStringLiteral("Can't perform this operation on a closed port");

}  // namespace

TZedComThread::TZedComThread(QObject* owner) : TComPort(owner) {
    TComPort::OnRxChar = [this](TComPort& sender, int count) { ZedComPortRxChar(sender, count); };
    const auto status = [this](TComPort& sender) { ZelComOnStatusChanged(sender); };
    OnCTSChange = status;
    OnDSRChange = status;
    OnRing = status;
    OnRLSDChange = status;
    TComPort::OnTxEmpty = [this](TComPort& sender) { ZelComOnTxEmpty(sender); };
    OnError = [this](TComPort& sender, const QString& message, TErrorAction& action) {
        ZelComOnError(sender, message, action);
    };
    OnHangUp = [this](TComPort&) {
        if (OnConnectionLost) {
            OnConnectionLost(*this, m_lastError);
        }
    };
    SetTimeout(100);
    SetReadTotalConstant(0);
    SetBufSize(65534);
    SetParity(TParity::paNone);
    SetDataBits(DataBitsOf(8));
    SetStopBits(TStopBits::sb1);
    SetDebugFile(std::string());
}

TZedComThread::~TZedComThread() {
    ClosePort();
    SetDebugFile(std::string());
    if (m_sendFile != nullptr) {
        std::fclose(m_sendFile);
    }
    TComPort::OnRxChar = nullptr;
    OnCTSChange = OnDSRChange = OnRing = OnRLSDChange = nullptr;
    TComPort::OnTxEmpty = nullptr;
    OnError = nullptr;
    OnHangUp = nullptr;
}

void TZedComThread::OpenPort() {
    SetActive(true);
    if (GetActive()) {
        SetDTR(true);
    }
}

void TZedComThread::ClosePort() {
    if (GetActive()) {
        SetActive(false);
    }
}

void TZedComThread::SetPort(int port) {
    SetDeviceName(port <= 9 ? QStringLiteral("COM%1").arg(port)
                            : QStringLiteral("\\\\.\\COM%1").arg(port));
}

int TZedComThread::Port() const {
    const QString& name = DeviceName();
    const QString digits = name.size() > 4 ? name.right(2) : name.mid(3, 1);
    bool ok = false;
    const int port = digits.toInt(&ok);
    return ok ? port : 0;
}

void TZedComThread::SetBaud(int rate) {
    const auto it = std::find_if(std::begin(kBaudTable), std::end(kBaudTable),
                                 [rate](const BaudEntry& entry) { return entry.rate == rate; });
    SetBaudRate(it != std::end(kBaudTable) ? it->value : TBaudRate::brCustom);
}

int TZedComThread::Baud() const {
    const TBaudRate value = BaudRate();
    for (const BaudEntry& entry : kBaudTable) {
        if (entry.value == value) {
            return entry.rate;
        }
    }
    return static_cast<int>(TBaudRate::brCustom);  // its place in the list, not a rate
}

void TZedComThread::SetBufSize(int size) {
    SetInputBufferSize(size);
    SetOutputBufferSize(size);
}

TDataBits TZedComThread::DataBitsOf(int bits) {
    switch (bits) {
        case 4:
            return TDataBits::db4;
        case 5:
            return TDataBits::db5;
        case 6:
            return TDataBits::db6;
        case 7:
            return TDataBits::db7;
        case 8:
            return TDataBits::db8;
        default:
            return TDataBits::dbDefault;
    }
}

void TZedComThread::SetCTSFlow() {
    SetOptions(opOutputCTSFlow);
}

void TZedComThread::NoCTSFlow() {
    SetOptions(0);
}

void TZedComThread::SetHWHandshake(bool on) {
    if (!GetActive()) {
        RaiseError(kClosedPort);
    }
    SetOptions(on ? TComOptions{opOutputCTSFlow} : TComOptions{0});
    SetRTSControl(on ? TRTSControl::rcHandshake : TRTSControl::rcDisable);
    m_hwHandshake = on;
}

void TZedComThread::SetDebugFile(const std::string& name) {
    if (m_debugFile != nullptr) {
        std::fclose(m_debugFile);
        m_debugFile = nullptr;
    }
    m_debugFileName.clear();
    if (!name.empty()) {
        m_debugFile = std::fopen(name.c_str(), "ab");
        if (m_debugFile != nullptr) {
            m_debugFileName = name;
        }
    }
}

void TZedComThread::SetOnStringReceived(StringReceived handler) {
    if (!handler) {
        m_input.TextLines().SetHandler(nullptr);
        return;
    }
    m_input.TextLines().SetHandler(
        [this, handler = std::move(handler)](std::string& line) { handler(*this, line); });
}

void TZedComThread::SetOnVoraBackupReceived(VoraBackupReceived handler) {
    if (!handler) {
        m_input.BackupLines().SetHandler(nullptr);
        return;
    }
    m_input.BackupLines().SetHandler(
        [this, handler = std::move(handler)](const Impulse& impulse) { handler(*this, impulse); });
}

void TZedComThread::SetOnZunReceived(ZunReceived handler) {
    if (!handler) {
        m_input.DisplayLines().SetHandler(nullptr);
        return;
    }
    m_input.DisplayLines().SetHandler(
        [this, handler = std::move(handler)](const DisplayLine& line) { handler(*this, line); });
}

void TZedComThread::SetOnPacketReceived(PacketReceived handler) {
    if (!handler) {
        m_input.Packets().SetHandler(nullptr);
        return;
    }
    m_input.Packets().SetHandler(
        [this, handler = std::move(handler)](std::string& packet) { handler(*this, packet); });
}

void TZedComThread::ZedComPortRxChar(TComPort&, int) {
    if (m_receiveDepth > 0) {
        // Entered again while a handler of ours waits (a modal box): say so.
        Ui().Beep(BeepKind::Asterisk);
    }
    ++m_receiveDepth;
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } guard{m_receiveDepth};

    QByteArray chunk;
    if (GetActive()) {
        try {
            chunk = ReadAnsiString();
        } catch (const std::exception&) {
            Ui().Beep(BeepKind::Default);
            chunk.clear();
        }
    }
    if (m_debugFile != nullptr && !chunk.isEmpty()) {
        std::fwrite(chunk.constData(), 1, static_cast<std::size_t>(chunk.size()), m_debugFile);
    }
    m_input.Feed(std::string_view(chunk.constData(), static_cast<std::size_t>(chunk.size())));
}

void TZedComThread::ZelComOnError(TComPort&, const QString& message, TErrorAction& action) {
    m_lastError = message;
    action = TErrorAction::caAbort;
}

void TZedComThread::ZelComOnStatusChanged(TComPort&) {
    if (OnStatusChanged) {
        const TModemStatus status = GetModemStatus();
        OnStatusChanged(*this, status.cts, status.dsr, status.ring, status.rlsd);
    }
}

void TZedComThread::SendFile(const QString& fileName) {
    if (!GetActive()) {
        RaiseError(kClosedPort);
    }
    if (!QFileInfo(fileName).isFile() || m_sending) {
        RaiseError(QStringLiteral("File does not exist or send file already in progress"));
    }
    if (m_sendFile != nullptr) {
        std::fclose(m_sendFile);
        m_sendFile = nullptr;
    }
    m_sendFile = std::fopen(QFile::encodeName(fileName).constData(), "rb");
    if (m_sendFile == nullptr) {
        RaiseError(QStringLiteral("No read access to the file: ") + fileName);
    }
    std::fseek(m_sendFile, 0, SEEK_END);
    m_fileSize = static_cast<int>(std::ftell(m_sendFile));
    std::fseek(m_sendFile, 0, SEEK_SET);
    m_bytesSent = 0;
    // A file under 100 bytes would get chunks of 0 bytes and never advance.
    m_chunkSize = std::max(1, std::min(BufSize(), m_fileSize / 100));
    m_sending = true;
    if (OnSendFileComplete) {
        OnSendFileComplete(*this, 0, 0);
    }
    ZelComOnTxEmpty(*this);
}

void TZedComThread::EndSendFile() {
    m_sending = false;
    if (m_sendFile != nullptr) {
        std::fclose(m_sendFile);
        m_sendFile = nullptr;
    }
}

void TZedComThread::ZelComOnTxEmpty(TComPort&) {
    if (m_sending && m_bytesSent < m_fileSize) {
        const int end = std::min(m_bytesSent + m_chunkSize, m_fileSize);
        std::fseek(m_sendFile, m_bytesSent, SEEK_SET);
        for (int position = m_bytesSent; position < end; ++position) {
            const int byte = std::fgetc(m_sendFile);
            WriteByte(static_cast<char>(byte == EOF ? 0 : byte));
        }
        m_bytesSent = end;
        m_percentSent = static_cast<int>(static_cast<long long>(m_bytesSent) * 100 / m_fileSize);
        if (OnSendFileComplete) {
            OnSendFileComplete(*this, m_percentSent, m_bytesSent);
        }
    } else if (m_sending) {
        EndSendFile();
        if (OnSendFileComplete) {
            OnSendFileComplete(*this, 100, m_bytesSent);
        }
    } else if (OnTxEmpty) {
        OnTxEmpty(*this);
    }
}

void TZedComThread::AbortSendFile() {
    if (!m_sending) {
        return;
    }
    m_bytesSent = m_fileSize;
    PurgeOutput();
    ZelComOnTxEmpty(*this);
    m_sending = false;
    m_bytesSent = 0;
    m_fileSize = 0;
}

}  // namespace harvel
