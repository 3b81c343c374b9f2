#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace harvel {

class PortNames;

enum class TBaudRate {
    brDefault,
    br50,
    br75,
    br110,
    br134_5,
    br150,
    br300,
    br600,
    br1200,
    br1800,
    br2000,
    br2400,
    br3600,
    br4800,
    br7200,
    br9600,
    br10400,
    br14400,
    br15625,
    br19200,
    br28800,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    brCustom
};
enum class TDataBits { dbDefault, db4, db5, db6, db7, db8 };
enum class TParity { paDefault, paNone, paOdd, paEven, paMark, paSpace };
enum class TStopBits { sbDefault, sb1, sb1_5, sb2 };
enum class TRTSControl { rcDefault, rcDisable, rcEnable, rcHandshake, rcToggle };
enum class TErrorAction { caFail, caAbort };

// Component options; only output CTS flow is used.
enum TComOption : unsigned { opOutputCTSFlow = 1u << 0 };
using TComOptions = unsigned;

struct TModemStatus {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool rlsd = false;
};

// The serial port component: a device opened by name, line settings, and its events,
// all delivered on the thread that owns it (the user-interface thread). POSIX backend:
// termios, non-blocking reads from a socket notifier, an exclusive lock against a
// second opener. The device going away (read() reports end of file or an I/O error)
// closes the port at once and raises an error through OnError.
class TComPort : public QObject {
    Q_OBJECT

public:
    using Notify = std::function<void(TComPort& sender)>;
    using RxChar = std::function<void(TComPort& sender, int count)>;
    using ErrorHandler =
        std::function<void(TComPort& sender, const QString& message, TErrorAction& action)>;

    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    void SetDeviceName(const QString& name);
    [[nodiscard]] const QString& DeviceName() const { return m_deviceName; }
    void SetActive(bool active);
    [[nodiscard]] bool GetActive() const { return m_fd >= 0; }

    void SetBaudRate(TBaudRate rate);
    [[nodiscard]] TBaudRate BaudRate() const { return m_baudRate; }
    void SetCustomBaudRate(int rate) { m_customBaudRate = rate; }
    void SetDataBits(TDataBits bits);
    [[nodiscard]] TDataBits DataBits() const { return m_dataBits; }
    void SetParity(TParity parity);
    [[nodiscard]] TParity Parity() const { return m_parity; }
    void SetStopBits(TStopBits bits);
    [[nodiscard]] TStopBits StopBits() const { return m_stopBits; }
    void SetOptions(TComOptions options);
    [[nodiscard]] TComOptions Options() const { return m_options; }
    void SetRTSControl(TRTSControl control);
    [[nodiscard]] TRTSControl RTSControl() const { return m_rtsControl; }
    // Queue sizes are kept for the caller; the kernel sizes its own queues.
    void SetInputBufferSize(int size) { m_inputSize = size; }
    void SetOutputBufferSize(int size) { m_outputSize = size; }
    [[nodiscard]] int InputBufferSize() const { return m_inputSize; }
    [[nodiscard]] int OutputBufferSize() const { return m_outputSize; }
    void SetReadTotalConstant(int ms) { m_readConstant = ms; }
    void SetWriteTotalConstant(int ms) { m_writeConstant = ms; }
    [[nodiscard]] int WriteTotalConstant() const { return m_writeConstant; }
    void SetDTR(bool on);

    // All bytes waiting at the port.
    [[nodiscard]] QByteArray ReadAnsiString();
    void WriteByte(char byte);
    void PurgeOutput();
    [[nodiscard]] TModemStatus GetModemStatus();

    // Hands `message` to OnError; raises EAbort when the handler chose caAbort, else
    // EComError.
    [[noreturn]] void RaiseError(const QString& message);

    // "COMn" for every serial port present.
    void EnumComDevices(QStringList& names) const;

    // The map from COM numbers to devices (tests give their own).
    void SetPortNames(std::shared_ptr<const PortNames> names);
    // The device path that the current name opens.
    [[nodiscard]] QString DevicePath() const;

    RxChar OnRxChar;
    Notify OnCTSChange;
    Notify OnDSRChange;
    Notify OnRing;
    Notify OnRLSDChange;
    Notify OnTxEmpty;
    ErrorHandler OnError;
    // Our addition: fires after the port closed itself because the device went away, once
    // OnError has been told why.
    Notify OnHangUp;

private:
    void Open();
    void Close();
    void ApplyLineSettings();
    void ApplyModemLines();
    void OnReadable();
    void DeliverInput();
    void OnWritable();
    void PollModemAndOutput();
    void HangUp(const QString& reason);
    void FlushOutput();
    void CheckOpen();

    QString m_deviceName = QStringLiteral("COM1");
    std::shared_ptr<const PortNames> m_names;
    int m_fd = -1;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QTimer* m_pollTimer = nullptr;
    QByteArray m_input;   // read from the device, not yet taken by ReadAnsiString
    QByteArray m_output;  // written by the caller, not yet taken by the device
    bool m_txPending = false;
    TModemStatus m_lastModem;
    bool m_modemLinesReadable = false;

    TBaudRate m_baudRate = TBaudRate::br9600;
    int m_customBaudRate = 9600;
    TDataBits m_dataBits = TDataBits::db8;
    TParity m_parity = TParity::paNone;
    TStopBits m_stopBits = TStopBits::sb1;
    TComOptions m_options = 0;
    TRTSControl m_rtsControl = TRTSControl::rcDefault;
    int m_inputSize = 4096;
    int m_outputSize = 2048;
    int m_readConstant = 0;
    int m_writeConstant = 0;
    bool m_dtr = false;
};

// The standard rate of a baud-rate value; 0 for brDefault and brCustom.
[[nodiscard]] int RateOf(TBaudRate rate);

}  // namespace harvel
