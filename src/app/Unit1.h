#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>

#include "app/MessageTexts.h"
#include "app/TableState.h"
#include "platform/VoraUSB.h"
#include "settings/RegTools.h"
#include "tools/Separators.h"
#include "tools/ZelLog.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QUdpSocket;

namespace harvel {

struct Impulse;
class PortNames;
class TF1Book;
class TInterface;
class TTableSetup;
class TTimeSetup;
class TZedComThread;

// What the main window takes from outside: where COM numbers lead and how the USB
// control is made (tests give their own).
struct TForm1Services {
    std::shared_ptr<const PortNames> ports;
    VoraUSBFactory usbFactory;
};

// The main window: the grid with its two sheets, the status bar, the menus, and the
// owner of the links, the settings store, the debug log and the UDP client.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kPanels = 8;

    explicit TForm1(TForm1Services services = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    void SetDialogs(TInterface* interface, TTimeSetup* timeSetup, TTableSetup* tableSetup);

    // Start-up, show and closing sequences.
    void FormCreate(QObject* sender);
    void FormShow();
    [[nodiscard]] bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void Exit1Click();

    // Every impulse of either link ends here.
    void ImpulseReceived(QObject* sender, const Impulse& impulse);
    void VoraUSBInput(TVoraUSB& sender, const QString& data);

    // USB events and the USB sequences.
    void VoraUSBPnPConnect(TVoraUSB& sender);
    void VoraUSBPnPRemove(TVoraUSB& sender);
    void VoraUSBMessage(TVoraUSB& sender, const QString& text);
    void VoraUSBError(TVoraUSB& sender, int code, const QString& text);
    void Interface1Click();

    // Table files, autosave and clearing.
    void open1Click();
    void Save1Click();
    void SaveasClick();
    void Autosave1Click();
    void AutoSaveTimerTimer();
    void ClearTable1Click();

    // Keys: true when the key was handled (it then reaches neither menu nor grid).
    bool FormShortCut(int qtKey);
    void CalculateDiff();

    void WriteColumnHeaders();

    [[nodiscard]] TF1Book* Backup() const { return m_backup; }
    [[nodiscard]] TableState& Table() { return m_table; }
    [[nodiscard]] TZedComThread* ZedCom() const { return m_zedCom.get(); }
    [[nodiscard]] TVoraUSB* VoraUSB() const { return m_voraUSB.get(); }
    [[nodiscard]] TInterface* Interface() const { return m_interface; }
    [[nodiscard]] QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);
    [[nodiscard]] MessageTable& MessageTexts() { return m_messageTexts; }
    [[nodiscard]] const QString& FileName() const { return m_fileName; }
    [[nodiscard]] const QString& UDPDestination() const { return m_udpDestination; }
    [[nodiscard]] QUdpSocket* UDPClient() const { return m_udpClient.get(); }
    [[nodiscard]] QTimer* AutoSaveTimer() const { return m_autoSaveTimer; }
    [[nodiscard]] QAction* Action(const char* name) const;
    [[nodiscard]] ZelLog& Log() { return m_log; }
    [[nodiscard]] int LastShortCutKey() const { return m_lastShortCutKey; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildStatusBar();
    void SetUpSheets();
    void ReadTableState();
    void CreateUsbControl(int comPort);
    void OpenSerialAtStart(int comPort);
    void UsbStartUpSequence();
    void UsbDialogSequence();
    [[nodiscard]] QString UsbConnectedText();
    [[nodiscard]] bool UsbChosen() const;
    [[nodiscard]] QString ComText(int index) const {
        return m_messageTexts[static_cast<std::size_t>(index)];
    }
    // Opens the serial port and shows the result in the interface panel; may raise.
    void OpenSerialAndShow();
    void ShowSerialOpenFailure();
    // Writes the workbook without holding the window: the file is written on a worker
    // thread from a snapshot while events go on; raises XlsError.
    void WriteWorkbook(const QString& path);
    void RepositionAfterOpen();

    TForm1Services m_services;
    ZelLog m_log;
    std::unique_ptr<TRegTools> m_reg;
    std::unique_ptr<QUdpSocket> m_udpClient;
    QString m_udpDestination;
    std::unique_ptr<TZedComThread> m_zedCom;
    std::unique_ptr<TVoraUSB> m_voraUSB;
    QString m_fileName;
    TableState m_table;
    Separators m_separators;
    MessageTable m_messageTexts;
    int m_lastShortCutKey = 0;
    bool m_handledKeyPending = false;
    bool m_closing = false;
    bool m_saving = false;
    bool m_shownOnce = false;

    TF1Book* m_backup;
    QTimer* m_autoSaveTimer;
    std::array<QLabel*, kPanels> m_panels{};
    TInterface* m_interface = nullptr;
    TTimeSetup* m_timeSetup = nullptr;
    TTableSetup* m_tableSetup = nullptr;
};

}  // namespace harvel
