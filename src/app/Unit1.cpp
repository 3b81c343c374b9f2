#include "app/Unit1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUdpSocket>

#include "app/ImpulsePlacement.h"
#include "app/WindowPlacement.h"
#include "links/Unit2.h"
#include "links/ZedComThread.h"
#include "platform/Errors.h"
#include "platform/Interaction.h"
#include "platform/PortNames.h"
#include "platform/TF1Book.h"
#include "platform/Workbook.h"
#include "tools/SystemInfo.h"
#include "udp/UdpOutput.h"

namespace harvel {
namespace {

const QString kDesignCaption = QStringLiteral("Vora Harvel");

struct PanelDesign {
    int width;
    const char* text;
};
constexpr PanelDesign kPanelDesign[TForm1::kPanels] = {
    {50, "Start:"}, {80, "0:00.000"},  {50, "Stop:"},      {80, "0:00.0000"},
    {50, "Diff:"},  {80, "0:00.0000"}, {80, "Interface:"}, {50, "No Interface open"},
};

}  // namespace

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QMainWindow(parent),
      m_services(std::move(services)),
      m_backup(new TF1Book(this)),
      m_autoSaveTimer(new QTimer(this)) {
    if (!m_services.ports) {
        m_services.ports = std::make_shared<PortNames>();
    }
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kDesignCaption);
    resize(1084, 745);
    m_backup->setObjectName(QStringLiteral("Backup"));
    setCentralWidget(m_backup);
    m_autoSaveTimer->setObjectName(QStringLiteral("AutoSaveTimer"));
    m_autoSaveTimer->setInterval(5000);
    connect(m_autoSaveTimer, &QTimer::timeout, this, &TForm1::AutoSaveTimerTimer);
    BuildMenus();
    BuildStatusBar();
    // Keys reach the shortcut handler before the menu's shortcuts and the grid.
    qApp->installEventFilter(this);
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    FormDestroy();
}

void TForm1::SetDialogs(TInterface* interface, TTimeSetup* timeSetup, TTableSetup* tableSetup) {
    m_interface = interface;
    m_timeSetup = timeSetup;
    m_tableSetup = tableSetup;
}

void TForm1::BuildMenus() {
    struct Item {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        void (TForm1::*handler)();
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->menuAction()->setObjectName(QStringLiteral("File1"));
    const Item fileItems[] = {
        {"ClearTable1", "&Clear Table", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C),
         &TForm1::ClearTable1Click},
        {"open1", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::open1Click},
        {"Save1", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::Save1Click},
        {"Saveas", "S&ave as", QKeySequence(Qt::CTRL | Qt::Key_A), &TForm1::SaveasClick},
        {"Exit1", "E&xit", QKeySequence(Qt::ALT | Qt::Key_X), &TForm1::Exit1Click},
    };
    for (const Item& item : fileItems) {
        QAction* action = file->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QLatin1String(item.name));
        action->setShortcut(item.shortcut);
        connect(action, &QAction::triggered, this, item.handler);
    }
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options1"));
    options->menuAction()->setObjectName(QStringLiteral("Options1"));
    QAction* interface = options->addAction(QStringLiteral("&Interface"));
    interface->setObjectName(QStringLiteral("Interface1"));
    connect(interface, &QAction::triggered, this, &TForm1::Interface1Click);
    // The two setup dialogs and the language files are not part of this build yet: their
    // commands stay visible but cannot be chosen.
    for (const auto& [name, caption] : {std::pair{"TimeSetup1", "&Time && Channel Setup"},
                                        std::pair{"ColumnSetup1", "&Column Setup"}}) {
        QAction* action = options->addAction(QString::fromLatin1(caption));
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);
    }
    QAction* autosave = options->addAction(QStringLiteral("&Autosave"));
    autosave->setObjectName(QStringLiteral("Autosave1"));
    autosave->setCheckable(true);
    connect(autosave, &QAction::triggered, this, &TForm1::Autosave1Click);
    QAction* language = options->addAction(QStringLiteral("&Language"));
    language->setObjectName(QStringLiteral("Language1"));
    language->setEnabled(false);
}

QAction* TForm1::Action(const char* name) const {
    return findChild<QAction*>(QLatin1String(name));
}

void TForm1::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setToolTip(QStringLiteral("Current Status"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < kPanels; ++i) {
        auto* panel = new QLabel(QString::fromLatin1(kPanelDesign[i].text), bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        // Design widths, but never narrower than the text: a status must be read whole.
        panel->setMinimumWidth(kPanelDesign[i].width);
        bar->addWidget(panel, i == kPanels - 1 ? 1 : 0);
        m_panels[static_cast<std::size_t>(i)] = panel;
    }
}

QString TForm1::PanelText(int panel) const {
    return m_panels[static_cast<std::size_t>(panel)]->text();
}

void TForm1::SetPanelText(int panel, const QString& text) {
    m_panels[static_cast<std::size_t>(panel)]->setText(text);
}

void TForm1::FormCreate(QObject* sender) {
    m_reg = std::make_unique<TRegTools>();
    TRegTools::SetWarningSink([this](const QString& warning) { m_log.WriteLine(warning); });
    m_log.WriteLine(QStringLiteral("Start FormCreate"));
    m_separators = SystemSeparators();

    // Step 3: the UDP client, active until the window closes.
    m_udpClient = CreateUdpClient();

    m_messageTexts = DefaultMessageTexts();

    // Step 6: the caption carries the program's version.
    const QString version = FileVersionText(ProgramFilePath());
    setWindowTitle(version.isEmpty() ? kDesignCaption
                                     : kDesignCaption + QStringLiteral(" V") + version);

    // Step 7: the serial link. An earlier run's link is closed with its handlers first, so
    // that it can never deliver an impulse again.
    m_zedCom.reset();
    m_zedCom = std::make_unique<TZedComThread>();
    m_zedCom->SetPortNames(m_services.ports);
    m_zedCom->SetPacketSize(1);
    const int comPort = m_reg->ReadInteger(SettingsKey, QStringLiteral("Com Port"), 1);
    if (comPort > 0) {
        m_zedCom->SetPort(comPort);
    }
    m_zedCom->SetBaud(m_reg->ReadInteger(SettingsKey, QStringLiteral("Baud"), 9600));
    m_zedCom->SetDataBits(TZedComThread::DataBitsOf(8));
    m_zedCom->SetParity(TParity::paNone);
    m_zedCom->SetOnVoraBackupReceived(
        [this](TZedComThread& link, const Impulse& impulse) { ImpulseReceived(&link, impulse); });
    m_zedCom->OnConnectionLost = [this](TZedComThread& link, const QString&) {
        // The device went away: say so where the interface state is shown.
        SetPanelText(7, ComText(5) + u' ' + link.DeviceName());
    };

    // Step 8: the USB control.
    CreateUsbControl(comPort);

    // Step 9: the stored serial port.
    OpenSerialAtStart(comPort);

    m_fileName.clear();
    SetUpSheets();
    ReadTableState();

    // Step 13: autosave.
    Action("Autosave1")
        ->setChecked(m_reg->ReadInteger(SettingsKey, QStringLiteral("Autosave Enable"), 1) != 0);
    Autosave1Click();

    // Step 14.
    Workbook& book = m_backup->Book();
    book.SetSheet(kLogSheet);
    book.set_ColWidth(5, kTableColumnWidth);
    book.SetSheet(kPairingSheet);
    m_backup->ShowEditBar(true);
    book.SetModified(false);

    // Step 15: where values would be sent.
    m_udpDestination = m_reg->ReadInteger(SettingsKey, QStringLiteral("Auto Broadcast"), 1) != 0
                           ? GetBroadcastAddress()
                           : m_reg->ReadString(SettingsKey, QStringLiteral("Manual IP"),
                                               QStringLiteral("127.0.0.1"));

    // Step 16: file dialogs start in the documents folder.
    const QString documents = m_reg->GetPersonalFolder();
    if (!documents.isEmpty()) {
        QDir().mkpath(documents);
        QDir::setCurrent(documents);
    }
    (void)sender;
    m_log.WriteLine(QStringLiteral("End FormCreate"));
}

void TForm1::OpenSerialAtStart(int comPort) {
    if (comPort <= 0) {
        return;
    }
    try {
        OpenSerialAndShow();
    } catch (const std::exception&) {
        ShowSerialOpenFailure();
    }
}

void TForm1::OpenSerialAndShow() {
    m_zedCom->OpenPort();
    if (m_zedCom->ok()) {
        SetPanelText(7, ComText(4) + u' ' + QString::number(m_zedCom->Port()));
    } else {
        SetPanelText(7, ComText(5) + u' ' + m_zedCom->DeviceName());
    }
}

void TForm1::ShowSerialOpenFailure() {
    const QString text = ComText(5) + u' ' + m_zedCom->DeviceName();
    Ui().MessageBox(text, ComText(6), MessageButtons::Ok, MessageIcon::None);
    SetPanelText(7, text);
}

void TForm1::SetUpSheets() {
    Workbook& book = m_backup->Book();
    book.InsertSheets(2, 1);
    book.set_SheetName(1, ComText(7));
    book.set_SheetName(2, ComText(8));
    m_backup->ShowEditBar(true);
    book.SetSheet(1);
    if (book.NumSheets() > 2) {
        book.DeleteSheets(3, book.NumSheets() - 2);
    }
    for (int col = 1; col <= 26; ++col) {
        book.set_ColWidth(col, kTableColumnWidth);
    }
}

void TForm1::ReadTableState() {
    m_table.ResetCounters();
    for (int n = 0; n < kChannels; ++n) {
        m_table.ChannelColumn[static_cast<std::size_t>(n)] =
            m_reg->ReadInteger(SettingsKey, QStringLiteral("Channel %1 Column").arg(n), n + 1);
    }
    WriteColumnHeaders();
    for (int n = 0; n < kChannels; ++n) {
        m_table.ChannelCorrespondingTime[static_cast<std::size_t>(n)] = m_reg->ReadInteger(
            SettingsKey, QStringLiteral("Channel %1 Corresponding Time").arg(n), n);
    }
    for (int k = 0; k < kCorrespondingTimes; ++k) {
        m_table.CorrespondingTimeWindow[static_cast<std::size_t>(k)] =
            m_reg->ReadInteger(SettingsKey, QStringLiteral("Corresponding Time %1").arg(k), 1000);
    }
}

void TForm1::WriteColumnHeaders() {
    harvel::WriteColumnHeaders(m_backup->Book(), m_table);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    const int top = m_reg->ReadInteger(SettingsKey, QStringLiteral("Window Top"), 0);
    const int left = m_reg->ReadInteger(SettingsKey, QStringLiteral("Window Left"), 0);
    const int width =
        m_reg->ReadInteger(SettingsKey, QStringLiteral("Window Width"), this->width());
    const int height =
        m_reg->ReadInteger(SettingsKey, QStringLiteral("Window Height"), this->height());
    const int state = m_reg->ReadInteger(SettingsKey, QStringLiteral("Window State"),
                                         isMaximized() ? 2 : (isMinimized() ? 1 : 0));
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << screen->availableGeometry();
    }
    const QRect placed =
        VisiblePlacement(QRect(left, top, std::max(width, 100), std::max(height, 100)), screens);
    move(placed.topLeft());
    resize(placed.size());
    setWindowState(state == 2 ? Qt::WindowMaximized
                              : (state == 1 ? Qt::WindowMinimized : Qt::WindowNoState));

    if (m_interface != nullptr) {
        QStringList ports;
        m_zedCom->EnumComDevices(ports);
        m_interface->FillPortList(ComText(24), ports);
        const int comPort = m_reg->ReadInteger(SettingsKey, QStringLiteral("Com Port"), 1);
        if (comPort == 0) {
            m_interface->ComPortCB()->setCurrentIndex(0);
        } else if (comPort > 0) {
            const int index =
                m_interface->ComPortCB()->findText(QStringLiteral("COM%1").arg(comPort));
            if (index < 0) {
                Ui().MessageBox(ComText(25), ComText(6), MessageButtons::Ok, MessageIcon::None);
            }
            m_interface->ComPortCB()->setCurrentIndex(index);
        }
    }
}

void TForm1::ImpulseReceived(QObject*, const Impulse& impulse) {
    // The backup of the backup: every impulse in the log before anything else.
    std::string line = "Info:";
    line += impulse.Info;
    line += " StartNumber:" + std::to_string(impulse.StartNumber);
    line += " Channel:" + std::to_string(impulse.Channel);
    line += " Mode:";
    line += impulse.Mode;
    line += " Time:" + std::to_string(impulse.Time);
    line += " VoraString:" + impulse.VoraString;
    m_log.WriteLine(line.c_str());
    PlaceImpulse(m_backup->Book(), m_table, impulse, m_separators);
}

bool TForm1::FormCloseQuery() {
    if (m_backup->Book().Modified() &&
        Ui().MessageBox(ComText(10), ComText(11), MessageButtons::YesNo, MessageIcon::Question) ==
            MessageResult::Yes) {
        Save1Click();
    }
    return Ui().MessageBox(ComText(12), ComText(13), MessageButtons::YesNo,
                           MessageIcon::Question) == MessageResult::Yes;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    m_closing = true;
    event->accept();
}

void TForm1::Exit1Click() {
    if (!FormCloseQuery()) {
        return;
    }
    FormClose();
    m_closing = true;
    close();
    QCoreApplication::quit();
}

void TForm1::FormClose() {
    // One guard for all: the first failing write ends the sequence silently.
    try {
        for (int n = 0; n < kChannels; ++n) {
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Channel %1 Column").arg(n),
                                m_table.ChannelColumn[static_cast<std::size_t>(n)]);
        }
        for (int n = 0; n < kChannels; ++n) {
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Channel %1 Corresponding Time").arg(n),
                                m_table.ChannelCorrespondingTime[static_cast<std::size_t>(n)]);
        }
        for (int k = 0; k < kCorrespondingTimes; ++k) {
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Corresponding Time %1").arg(k),
                                m_table.CorrespondingTimeWindow[static_cast<std::size_t>(k)]);
        }
        if (m_zedCom->ok()) {
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Com Port"), m_zedCom->Port());
            m_zedCom->ClosePort();
        } else if (UsbChosen() && m_voraUSB && m_voraUSB->NumDevices() > 0) {
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Com Port"), 0);
            m_voraUSB->CloseConnection();
        }
        if (m_udpClient) {
            m_udpClient->close();
        }
        m_reg->WriteInteger(SettingsKey, QStringLiteral("Baud"), m_zedCom->Baud());
        m_reg->WriteInteger(SettingsKey, QStringLiteral("Autosave Enable"),
                            Action("Autosave1")->isChecked() ? 1 : 0);
        m_udpClient.reset();
    } catch (const std::exception&) {
    }
}

void TForm1::FormDestroy() {
    if (m_reg) {
        try {
            const int state = isMaximized() ? 2 : (isMinimized() ? 1 : 0);
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Window State"), state);
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Window Top"), y());
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Window Left"), x());
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Window Width"), width());
            m_reg->WriteInteger(SettingsKey, QStringLiteral("Window Height"), height());
        } catch (const std::exception&) {
            // Nothing to tell at the end of the program; the next start uses defaults.
        }
    }
    m_zedCom.reset();
    m_voraUSB.reset();
    m_reg.reset();
    TRegTools::SetWarningSink(nullptr);
}

}  // namespace harvel
