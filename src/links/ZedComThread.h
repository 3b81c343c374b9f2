#pragma once

#include <QByteArray>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/ComPort.h"
#include "rareze/SerialInputAssembler.h"

namespace harvel {

// The serial link to the timing device: fixed line settings, port numbers and baud
// rates mapped onto the port component, every received chunk through the line
// assemblers, every component error turned into the silent abort.
class TZedComThread : public TComPort {
    Q_OBJECT

public:
    using StringReceived = std::function<void(TZedComThread& sender, std::string& buffer)>;
    using VoraBackupReceived = std::function<void(TZedComThread& sender, const Impulse& impulse)>;
    using ZunReceived = std::function<void(TZedComThread& sender, const DisplayLine& line)>;
    using PacketReceived = std::function<void(TZedComThread& sender, std::string& buffer)>;
    using StatusChanged = std::function<void(TZedComThread& sender, bool ctsOn, bool dsrOn,
                                             bool ringOn, bool rlsdOn)>;
    using TxEmpty = std::function<void(TZedComThread& sender)>;
    using SendFileComplete =
        std::function<void(TZedComThread& sender, int percentComplete, int bytesSent)>;
    // Not of the port component: the device went away while open (adapter unplugged).
    using ConnectionLost = std::function<void(TZedComThread& sender, const QString& reason)>;

    explicit TZedComThread(QObject* owner = nullptr);
    ~TZedComThread() override;

    void OpenPort();
    void ClosePort();
    [[nodiscard]] bool ok() const { return GetActive(); }

    void SetPort(int port);
    [[nodiscard]] int Port() const;
    void SetBaud(int rate);
    [[nodiscard]] int Baud() const;
    void SetBufSize(int size);
    [[nodiscard]] int BufSize() const { return InputBufferSize(); }
    void SetPacketSize(int size) { m_input.Packets().SetPacketSize(size); }
    [[nodiscard]] int PacketSize() const { return m_input.Packets().PacketSize(); }
    void SetTimeout(int ms) { SetWriteTotalConstant(ms); }
    [[nodiscard]] int Timeout() const { return WriteTotalConstant(); }
    void SetHWHandshake(bool on);
    [[nodiscard]] bool HWHandshake() const { return m_hwHandshake; }
    void SetDebugFile(const std::string& name);
    [[nodiscard]] const std::string& DebugFile() const { return m_debugFileName; }
    [[nodiscard]] bool SendFileInProgress() const { return m_sending; }

    void SetCTSFlow();
    void NoCTSFlow();
    void SendFile(const QString& fileName);
    void AbortSendFile();

    [[nodiscard]] static TDataBits DataBitsOf(int bits);

    // Component event handlers.
    void ZedComPortRxChar(TComPort& sender, int count);
    void ZelComOnStatusChanged(TComPort& sender);
    void ZelComOnError(TComPort& sender, const QString& message, TErrorAction& action);
    void ZelComOnTxEmpty(TComPort& sender);

    void SetOnStringReceived(StringReceived handler);
    void SetOnVoraBackupReceived(VoraBackupReceived handler);
    void SetOnZunReceived(ZunReceived handler);
    void SetOnPacketReceived(PacketReceived handler);
    StatusChanged OnStatusChanged;
    TxEmpty OnTxEmpty;
    SendFileComplete OnSendFileComplete;
    ConnectionLost OnConnectionLost;

    // The message of the last component error (the abort itself carries none).
    [[nodiscard]] const QString& LastError() const { return m_lastError; }

private:
    void EndSendFile();

    SerialInputAssembler m_input;
    bool m_hwHandshake = false;
    std::string m_debugFileName;
    std::FILE* m_debugFile = nullptr;
    std::FILE* m_sendFile = nullptr;
    bool m_sending = false;
    int m_fileSize = 0;
    int m_bytesSent = 0;
    int m_percentSent = 0;
    int m_chunkSize = 0;
    int m_receiveDepth = 0;
    QString m_lastError;
};

}  // namespace harvel
