#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <mutex>

#include "app/ImpulsePlacement.h"
#include "app/Unit1.h"
#include "links/Unit2.h"
#include "links/ZedComThread.h"
#include "platform/PortNames.h"
#include "platform/TF1Book.h"
#include "platform/UsbBridge.h"
#include "platform/Workbook.h"
#include "platform/XlsFile.h"
#include "support/BackupLines.h"
#include "support/Pty.h"
#include "support/ScratchEnvironment.h"
#include "support/ScriptedInteraction.h"

namespace harvel {
namespace {

using test::Pty;
using test::WaitUntil;

QByteArray Line(int number, int channel, const char* time) {
    return QByteArray::fromStdString(
        test::BackupLine(' ', QString::number(number).rightJustified(4, u'0').toStdString(),
                         static_cast<char>('0' + channel), ' ', time) +
        "\r\n");
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A USB driver in the test, on a thread of its own (the bridge waits for its answers):
// answers the bridge's commands and plays the device.
class TestDriver {
public:
    explicit TestDriver(const QString& name) {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        Run([this, name] {
            QLocalServer::removeServer(name);
            m_server = new QLocalServer(&m_context);
            m_server->listen(name);
            QObject::connect(m_server, &QLocalServer::newConnection, &m_context, [this] {
                m_client = m_server->nextPendingConnection();
                Write("API 2.1");
                Write("DRIVER 2.08");
                Write("DEVICES " + QByteArray::number(devices.load()));
                QObject::connect(m_client, &QLocalSocket::readyRead, &m_context, [this] {
                    while (m_client->canReadLine()) {
                        const QByteArray command = m_client->readLine().trimmed();
                        {
                            const std::lock_guard lock(m_mutex);
                            m_commands << QString::fromLatin1(command);
                        }
                        Write(command.startsWith("OPEN") && openStatus != 0 ? "STATUS 4 Device busy"
                                                                            : "STATUS 0 OK");
                    }
                });
            });
        });
    }
    ~TestDriver() {
        Run([this] {
            delete m_server;
            m_server = nullptr;
        });
        m_thread.quit();
        m_thread.wait();
    }
    void Send(const QByteArray& line) {
        Run([this, line] { Write(line); });
    }
    void Disconnect() {
        Run([this] {
            if (m_client != nullptr) {
                m_client->disconnectFromServer();
                m_client = nullptr;
            }
        });
    }
    [[nodiscard]] QStringList Commands() {
        const std::lock_guard lock(m_mutex);
        return m_commands;
    }
    std::atomic<int> devices{1};
    std::atomic<int> openStatus{0};

private:
    void Run(std::function<void()> work) {
        QMetaObject::invokeMethod(&m_context, std::move(work), Qt::BlockingQueuedConnection);
    }
    void Write(const QByteArray& line) {
        if (m_client != nullptr) {
            m_client->write(line + '\n');
            m_client->flush();
        }
    }
    QThread m_thread;
    QObject m_context;
    QLocalServer* m_server = nullptr;
    QLocalSocket* m_client = nullptr;
    std::mutex m_mutex;
    QStringList m_commands;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(Ports());
        QDir().mkpath(env.Root() + QStringLiteral("/dev"));
        ports = std::make_shared<PortNames>(Ports(), env.Root() + QStringLiteral("/dev"),
                                            env.Root() + QStringLiteral("/sys"));
    }
    [[nodiscard]] QString Ports() const { return env.Root() + QStringLiteral("/ports"); }
    [[nodiscard]] QString UsbName() const {
        return env.Temp() + QStringLiteral("/harvel-vora-usb");
    }

    void Start(VoraUSBFactory usb = {}) {
        if (!usb) {
            const QString name = UsbName();
            usb = [name](QObject* owner) -> std::unique_ptr<TVoraUSB> {
                return std::make_unique<UsbBridge>(name, owner);
            };
        }
        form = std::make_unique<TForm1>(TForm1Services{ports, usb});
        form->FormCreate(form.get());
        interface = std::make_unique<TInterface>(form.get());
        interface->FormCreate(interface.get());
        form->SetDialogs(interface.get(), nullptr, nullptr);
        form->FormShow();
    }
    void Stop() {
        interface.reset();
        form.reset();
    }
    void Store(const char* name, int value) {
        TRegTools().WriteInteger(SettingsKey, QLatin1String(name), value);
    }
    [[nodiscard]] QString Settings() const { return ReadText(TRegTools::StorePath()); }
    [[nodiscard]] QString Log() const { return ReadText(ZelLog::DefaultPath()); }
    [[nodiscard]] QString Cell(int sheet, int row, int col) const {
        return form->Backup()->Book().TextAt(sheet, row, col);
    }

    test::ScratchEnvironment env;
    test::ScriptedInteraction ui;
    std::shared_ptr<PortNames> ports;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TInterface> interface;  // a child of the form: goes first

public:
    ~MainWindow() override { Stop(); }
};

TEST_F(MainWindow, FirstStartWritesEveryDefaultAndReportsAMissingCom1) {
    Start();
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Could not open serial port COM1"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Port open error"));
    EXPECT_EQ(ui.boxes[1].text, QStringLiteral("Could not find serial port"));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Could not open serial port COM1"));
    EXPECT_EQ(interface->ComPortCB()->count(), 1);
    EXPECT_EQ(interface->ComPortCB()->itemText(0), QStringLiteral("Vora USB"));
    EXPECT_EQ(interface->ComPortCB()->currentIndex(), -1);
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Vora Harvel V")));

    const QString settings = Settings();
    for (const char* expected :
         {"\"Com Port\"=dword:00000001", "\"Baud\"=dword:00002580",
          "\"Channel 0 Column\"=dword:00000001", "\"Channel 9 Column\"=dword:0000000a",
          "\"Channel 9 Corresponding Time\"=dword:00000009",
          "\"Corresponding Time 3\"=dword:000003e8", "\"Autosave Enable\"=dword:00000001",
          "\"Auto Broadcast\"=dword:00000001", "\"Window Top\"=dword:00000000"}) {
        EXPECT_TRUE(settings.contains(QLatin1String(expected))) << expected;
    }
    EXPECT_FALSE(settings.contains(QStringLiteral("Manual IP")));
    EXPECT_FALSE(settings.contains(QStringLiteral("Files]")));

    Workbook& book = form->Backup()->Book();
    EXPECT_EQ(book.NumSheets(), 2);
    EXPECT_EQ(book.SheetName(1), QStringLiteral("DayTime"));
    EXPECT_EQ(book.SheetName(2), QStringLiteral("LastDetection"));
    EXPECT_EQ(book.HeadingAt(1, 1), QStringLiteral("C0"));
    EXPECT_EQ(book.HeadingAt(2, 5), QStringLiteral("Time"));
    EXPECT_FALSE(book.Modified());
    EXPECT_TRUE(form->Action("Autosave1")->isChecked());
    EXPECT_TRUE(form->AutoSaveTimer()->isActive());
    const QString log = Log();
    EXPECT_TRUE(log.contains(QStringLiteral("Start FormCreate")));
    EXPECT_TRUE(log.contains(QStringLiteral("End FormCreate")));
}

TEST_F(MainWindow, ImpulsesFromTheSerialPortLandInBothSheetsAndTheLog) {
    Pty pty;
    ASSERT_TRUE(pty.LinkAs(Ports() + QStringLiteral("/com7")));
    Store("Com Port", 7);
    Start();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Vora on Com 7"));
    EXPECT_EQ(interface->ComPortCB()->currentText(), QStringLiteral("COM7"));

    pty.Write(Line(42, 3, "10:00:00.0000") + Line(43, 1, "10:00:00.0500"));
    ASSERT_TRUE(WaitUntil([&] { return !Cell(kLogSheet, 2, 5).isEmpty(); }));
    EXPECT_EQ(Cell(kLogSheet, 1, 2), QStringLiteral("42"));
    EXPECT_EQ(Cell(kPairingSheet, 1, 4), QStringLiteral("10:00:00.0000"));
    EXPECT_EQ(Cell(kPairingSheet, 1, 2), QStringLiteral("10:00:00.0500"));
    EXPECT_TRUE(form->Backup()->Book().Modified());
    EXPECT_TRUE(Log().contains(
        QStringLiteral("Info:  StartNumber:42 Channel:3 Mode:  Time:360000000 VoraString:")));

    // The device goes away: the status bar says so, the times stay.
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !form->ZedCom()->ok(); }));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Could not open serial port COM7"));
    EXPECT_EQ(Cell(kLogSheet, 1, 2), QStringLiteral("42"));
}

TEST_F(MainWindow, NegativeComPortOpensNothing) {
    Store("Com Port", -1);
    Start();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form->PanelText(7), QStringLiteral("No Interface open"));
    EXPECT_EQ(interface->ComPortCB()->currentIndex(), -1);
    EXPECT_FALSE(form->ZedCom()->ok());
}

TEST_F(MainWindow, CloseQuestionsInEveryOrder) {
    Store("Com Port", -1);
    Start();
    const struct {
        std::vector<MessageResult> answers;
        bool closes;
        bool saves;
    } cases[] = {
        {{MessageResult::No, MessageResult::Yes}, true, false},
        {{MessageResult::Yes, MessageResult::No}, false, true},
        {{MessageResult::No, MessageResult::No}, false, false},
        {{MessageResult::Yes, MessageResult::Yes}, true, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString path = env.Root() + QStringLiteral("/close%1.xls").arg(n++);
        form->Backup()->Book().set_TextRC(1, 1, QStringLiteral("unsaved"));
        ASSERT_TRUE(form->Backup()->Book().Modified());
        ui.boxes.clear();
        ui.answers.assign(c.answers.begin(), c.answers.end());
        ui.saveAnswers = {path};
        EXPECT_EQ(form->FormCloseQuery(), c.closes);
        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Data changed. Save?"));
        EXPECT_EQ(ui.boxes[1].text, QStringLiteral("Really close Application?"));
        // The first save asks for a name; later ones write to it.
        EXPECT_EQ(form->Backup()->Book().Modified(), !c.saves);
        if (c.saves) {
            ASSERT_TRUE(QFile::exists(form->FileName()));
            EXPECT_EQ(ReadXls(form->FileName()).sheets[0].cells.at(0).text,
                      QStringLiteral("unsaved"));
        } else {
            EXPECT_FALSE(QFile::exists(path));
        }
        ui.saveAnswers.clear();
    }
}

TEST_F(MainWindow, SettingsWrittenAtCloseAreReadAtTheNextStart) {
    Store("Com Port", -1);
    Start();
    form->Table().ChannelColumn[2] = 20;
    form->Table().ChannelCorrespondingTime[4] = 0;
    form->Table().CorrespondingTimeWindow[7] = 25000;
    form->Action("Autosave1")->setChecked(false);
    form->FormClose();
    Stop();
    Start();
    EXPECT_EQ(form->Table().ChannelColumn[2], 20);
    EXPECT_EQ(form->Table().ChannelCorrespondingTime[4], 0);
    EXPECT_EQ(form->Table().CorrespondingTimeWindow[7], 25000);
    EXPECT_FALSE(form->Action("Autosave1")->isChecked());
    EXPECT_FALSE(form->AutoSaveTimer()->isActive());
    EXPECT_EQ(form->Backup()->Book().HeadingAt(1, 20), QStringLiteral("C2"));
}

TEST_F(MainWindow, PlacementIsRestoredAndBroughtOntoAScreen) {
    Store("Com Port", -1);
    Store("Window Left", 40);
    Store("Window Top", 30);
    Store("Window Width", 700);
    Store("Window Height", 500);
    Start();
    EXPECT_EQ(form->pos(), QPoint(40, 30));
    EXPECT_EQ(form->size(), QSize(700, 500));
    Stop();
    Store("Window Left", 50000);
    Store("Window Top", -40000);
    Store("Window State", 2);
    Start();
    EXPECT_LT(form->x(), 10000) << "a window nobody can see is brought back";
    EXPECT_GT(form->y(), -10000);
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindow, UsbStartOpensAndFollowsPlugInAndRemoval) {
    TestDriver driver(UsbName());
    Store("Com Port", 0);
    Start();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Vora on USB API:2.1 Driver Version:2.08"));
    EXPECT_EQ(interface->ComPortCB()->currentIndex(), 0);

    driver.Send("INPUT  0042  1  10:15:30.1234 00\\r\\n");
    driver.Send("garbage that is no command");
    ASSERT_TRUE(WaitUntil([&] { return !Cell(kLogSheet, 1, 5).isEmpty(); }));
    EXPECT_EQ(Cell(kLogSheet, 1, 5), QStringLiteral("10:15:30.1234"));
    EXPECT_EQ(Cell(kPairingSheet, 1, 2), QStringLiteral("10:15:30.1234"));

    driver.Send("DEVICES 0");
    ASSERT_TRUE(WaitUntil([&] { return !ui.boxes.empty(); }));
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Surprise removal of Vora!"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Vora USB removed"));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Vora USB removed"));
    EXPECT_EQ(ui.beeps.back(), BeepKind::Exclamation);

    driver.Send("DEVICES 1");
    ASSERT_TRUE(
        WaitUntil([&] { return form->PanelText(7).startsWith(QStringLiteral("Vora on USB")); }));
    EXPECT_EQ(ui.beeps.back(), BeepKind::Default);

    driver.Send("ERROR 7 Timeout");
    ASSERT_TRUE(WaitUntil([&] { return ui.boxes.size() == 2; }));
    EXPECT_TRUE(ui.boxes[1].text.startsWith(QStringLiteral("Timeout Time:")));
    EXPECT_EQ(ui.boxes[1].caption, QStringLiteral("Error"));

    // The driver goes away entirely: a removal, and the program carries on.
    driver.Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return ui.boxes.size() == 3; }));
    EXPECT_EQ(ui.boxes[2].text, QStringLiteral("Surprise removal of Vora!"));
}

TEST_F(MainWindow, UsbWithoutDeviceOrWithAFailedOpen) {
    {
        Store("Com Port", 0);
        Start();  // no driver listening: no devices
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Error Opening Vora USB Port"));
        EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Vora on USB"));
        EXPECT_EQ(form->PanelText(7), QStringLiteral("No Interface open"));
        Stop();
    }
    ui.boxes.clear();
    TestDriver driver(UsbName());
    driver.openStatus = 4;
    Start();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Device busy"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Error Opening Vora USB Port"));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Error Opening Vora USB Port"));
}

TEST_F(MainWindow, MissingUsbControlIsReportedAndNeverCalled) {
    Store("Com Port", 0);
    Start([](QObject*) -> std::unique_ptr<TVoraUSB> { throw std::runtime_error("not installed"); });
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(
        ui.boxes[0].text,
        QStringLiteral("Could not create Vora object. Be sure that OCX is properly installed"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("USB Port open error"));
    EXPECT_EQ(form->VoraUSB(), nullptr);
    ui.boxes.clear();
    ui.onModal = [](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("ComPortCB"))->setCurrentIndex(0);
        return int(QDialog::Accepted);
    };
    form->Interface1Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("USB Port open error"));
}

TEST_F(MainWindow, InterfaceChangeFromUsbToASerialPortAndBack) {
    TestDriver driver(UsbName());
    Pty pty;
    ASSERT_TRUE(pty.LinkAs(Ports() + QStringLiteral("/com12")));
    Store("Com Port", 0);
    Start();
    ASSERT_TRUE(form->PanelText(7).startsWith(QStringLiteral("Vora on USB")));

    ui.onModal = [](QDialog& dialog) {
        auto* ports = dialog.findChild<QComboBox*>(QStringLiteral("ComPortCB"));
        EXPECT_EQ(ports->currentIndex(), 0) << "USB in use is preselected";
        EXPECT_FALSE(dialog.findChild<QComboBox*>(QStringLiteral("BaudCB"))->isEnabled());
        ports->setCurrentIndex(ports->findText(QStringLiteral("COM12")));
        dialog.findChild<QComboBox*>(QStringLiteral("BaudCB"))->setCurrentIndex(4);
        return int(QDialog::Accepted);
    };
    form->Interface1Click();
    EXPECT_TRUE(driver.Commands().contains(QStringLiteral("CLOSE")));
    ASSERT_TRUE(form->ZedCom()->ok());
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Vora on Com 12"));
    EXPECT_EQ(form->ZedCom()->Baud(), 19200);
    EXPECT_EQ(form->ZedCom()->DeviceName(), QStringLiteral("\\\\.\\COM12"));

    // Cancel keeps the picked entry but changes no link.
    ui.onModal = [](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("ComPortCB"))->setCurrentIndex(0);
        return int(QDialog::Rejected);
    };
    form->Interface1Click();
    EXPECT_TRUE(form->ZedCom()->ok());
    EXPECT_EQ(interface->ComPortCB()->currentIndex(), 0);

    ui.onModal = [](QDialog& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("ComPortCB"))->setCurrentIndex(0);
        return int(QDialog::Accepted);
    };
    form->Interface1Click();
    EXPECT_FALSE(form->ZedCom()->ok());
    EXPECT_TRUE(form->PanelText(7).startsWith(QStringLiteral("Vora on USB")));
}

TEST_F(MainWindow, BusySerialPortGivesTheBoxWithTheDeviceName) {
    Pty pty;
    ASSERT_TRUE(pty.LinkAs(Ports() + QStringLiteral("/com3")));
    Store("Com Port", -1);
    Start();
    TZedComThread other;
    other.SetPortNames(ports);
    other.SetPort(3);
    other.OpenPort();
    ASSERT_TRUE(other.ok());
    ui.onModal = [](QDialog& dialog) {
        auto* ports = dialog.findChild<QComboBox*>(QStringLiteral("ComPortCB"));
        ports->setCurrentIndex(ports->findText(QStringLiteral("COM3")));
        return int(QDialog::Accepted);
    };
    form->Interface1Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Could not open serial port COM3"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Port open error"));
    EXPECT_EQ(form->PanelText(7), QStringLiteral("Could not open serial port COM3"));
}

TEST_F(MainWindow, SaveOntoAReadOnlyFileSwitchesAutosaveOff) {
    Store("Com Port", -1);
    Start();
    const QString path = env.Root() + QStringLiteral("/locked.xls");
    ui.saveAnswers = {path};
    form->Backup()->Book().set_TextRC(1, 1, QStringLiteral("first"));
    form->SaveasClick();
    ASSERT_TRUE(QFile::exists(path));
    const QString before = ReadText(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    form->Backup()->Book().set_TextRC(1, 1, QStringLiteral("second"));
    form->Save1Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Could not save data file!"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("File save error"));
    EXPECT_FALSE(form->Action("Autosave1")->isChecked());
    EXPECT_FALSE(form->AutoSaveTimer()->isActive());
    EXPECT_TRUE(form->Backup()->Book().Modified());
    EXPECT_EQ(ReadText(path), before);
}

TEST_F(MainWindow, AutosaveWithoutAFileAsksForOneAndCancelKeepsTheData) {
    Store("Com Port", -1);
    Start();
    form->Backup()->Book().set_TextRC(1, 1, QStringLiteral("x"));
    form->AutoSaveTimerTimer();
    ASSERT_EQ(ui.saveDialogs.size(), 1u);
    EXPECT_EQ(ui.saveDialogs[0].filters, QStringList{QStringLiteral("Excel Files (*.xls)")});
    EXPECT_TRUE(form->Backup()->Book().Modified());
    EXPECT_TRUE(form->AutoSaveTimer()->isActive());
}

TEST_F(MainWindow, OpenRepositionsTheRowsAndNewImpulsesContinueBelow) {
    Store("Com Port", -1);
    WorkbookData data;
    SheetData pairing{QStringLiteral("Pairing"), {}, {}};
    for (int row : {1, 2, 3, 4, 5, 7})
        pairing.cells.push_back({row, 2, QStringLiteral("10:00:0%1.0000").arg(row)});
    SheetData log{QStringLiteral("Log"), {}, {}};
    for (int row = 1; row <= 20; ++row) {
        if (row != 11)
            log.cells.push_back({row, 5, QStringLiteral("t%1").arg(row)});
    }
    data.sheets = {pairing, log};
    const QString path = env.Root() + QStringLiteral("/race.xls");
    WriteXls(data, path);
    SheetData single{QStringLiteral("Only"), {{1, 1, QStringLiteral("a")}}, {}};
    WriteXls(WorkbookData{{single}}, env.Root() + QStringLiteral("/one.xls"));
    Start();

    ui.openAnswers = {std::nullopt};
    form->open1Click();
    EXPECT_TRUE(form->FileName().isEmpty()) << "cancel changes nothing";

    ui.openAnswers = {path};
    form->open1Click();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form->Table().LastDetectionRow, 11);
    EXPECT_EQ(form->Table().DayTimeRow, 8);
    EXPECT_EQ(form->Backup()->Book().Sheet(), 1);
    EXPECT_EQ(form->Backup()->Book().HeadingAt(2, 5), QStringLiteral("Time"));
    form->ImpulseReceived(nullptr, Impulse{' ', 7, 0, ' ', 400000000, " line"});
    EXPECT_EQ(Cell(kLogSheet, 11, 5), QStringLiteral("11:06:40.0000"));

    ui.openAnswers = {env.Root() + QStringLiteral("/one.xls")};
    form->open1Click();
    EXPECT_EQ(form->Backup()->Book().NumSheets(), 2);
    EXPECT_EQ(form->Backup()->Book().SheetName(1), QStringLiteral("DayTime"));

    QFile text(env.Root() + QStringLiteral("/notes.xls"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a workbook");
    text.close();
    ui.openAnswers = {text.fileName()};
    form->open1Click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Could not open Excel File!"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Error"));
}

TEST_F(MainWindow, ClearTableAsksFirst) {
    Store("Com Port", -1);
    Start();
    form->ImpulseReceived(nullptr, Impulse{' ', 7, 0, ' ', 360000000, {}});
    ui.answers = {MessageResult::No};
    form->ClearTable1Click();
    EXPECT_EQ(Cell(kLogSheet, 1, 2), QStringLiteral("7"));
    ui.answers = {MessageResult::Yes};
    form->ClearTable1Click();
    EXPECT_EQ(Cell(kLogSheet, 1, 2), QString());
    EXPECT_EQ(Cell(kPairingSheet, 1, 1), QString());
    EXPECT_EQ(form->Table().LastDetectionRow, 1);
    EXPECT_EQ(form->Backup()->Book().HeadingAt(1, 1), QStringLiteral("C0"));
    form->ImpulseReceived(nullptr, Impulse{' ', 8, 0, ' ', 360000000, {}});
    EXPECT_EQ(Cell(kLogSheet, 1, 2), QStringLiteral("8"));
}

TEST_F(MainWindow, TimeDifferenceKeys) {
    Store("Com Port", -1);
    Start();
    Workbook& book = form->Backup()->Book();
    book.set_TextRC(1, 1, QStringLiteral("10:15:30.1234"));
    book.set_TextRC(2, 1, QStringLiteral("10:15:45.5000"));
    form->Backup()->SetActiveCell(1, 1);
    EXPECT_TRUE(form->FormShortCut(Qt::Key_F1));
    form->Backup()->SetActiveCell(2, 1);
    EXPECT_TRUE(form->FormShortCut(Qt::Key_F2));
    EXPECT_EQ(form->PanelText(5), QStringLiteral("15.3766"));

    // F3 on a filled cell asks; No leaves it.
    ui.answers = {MessageResult::No};
    EXPECT_TRUE(form->FormShortCut(Qt::Key_F3));
    EXPECT_EQ(book.get_TextRC(2, 1), QStringLiteral("10:15:45.5000"));
    form->Backup()->SetActiveCell(3, 1);
    EXPECT_TRUE(form->FormShortCut(Qt::Key_F3));
    EXPECT_EQ(book.get_TextRC(3, 1), QStringLiteral("15.3766"));
    EXPECT_EQ(ui.boxes.size(), 1u) << "an empty cell is written without asking";
}

TEST_F(MainWindow, ClipboardKeysFollowTheKeyBefore) {
    Store("Com Port", -1);
    Start();
    // Ctrl, then C: copy; the handled C keeps Ctrl as the key before, so V pastes.
    EXPECT_FALSE(form->FormShortCut(Qt::Key_Control));
    EXPECT_TRUE(form->FormShortCut(Qt::Key_C));
    EXPECT_TRUE(form->FormShortCut(Qt::Key_V));
    // Ctrl, Alt, C: the key before C was Alt, so Clear Table's shortcut may act.
    EXPECT_FALSE(form->FormShortCut(Qt::Key_Control));
    EXPECT_FALSE(form->FormShortCut(Qt::Key_Alt));
    EXPECT_FALSE(form->FormShortCut(Qt::Key_C));
    // Alt, Ctrl, C: a copy.
    EXPECT_FALSE(form->FormShortCut(Qt::Key_Alt));
    EXPECT_FALSE(form->FormShortCut(Qt::Key_Control));
    EXPECT_TRUE(form->FormShortCut(Qt::Key_C));
    EXPECT_FALSE(form->FormShortCut(Qt::Key_Shift));
    EXPECT_TRUE(form->FormShortCut(Qt::Key_Delete));
}

TEST_F(MainWindow, KeysReachTheShortcutHandlerBeforeMenuAndGrid) {
    Store("Com Port", -1);
    Start();
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QWidget* grid = form->Backup()->View();
    grid->setFocus();
    form->Backup()->Book().set_TextRC(1, 1, QStringLiteral("10:00:00.0000"));
    form->Backup()->SetActiveCell(1, 1);
    QTest::keyClick(grid, Qt::Key_F1);
    EXPECT_EQ(form->PanelText(1), QStringLiteral("10:00:00.0000"));
    EXPECT_EQ(form->Backup()->Book().get_TextRC(1, 1), QStringLiteral("10:00:00.0000"))
        << "F1 never reached the grid's editor";

    // Ctrl, then Alt, then C: Clear Table's shortcut acts and asks its question.
    ui.answers = {MessageResult::No};
    QTest::keyClick(grid, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyClick(grid, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Clear Data? Sure?"));
    form->hide();
}

TEST_F(MainWindow, InterfaceDialogEnterIsOkWhereverTheFocusIs) {
    Start();
    interface->show();
    interface->ComPortCB()->setFocus();
    QTest::keyClick(interface->ComPortCB(), Qt::Key_Return);
    EXPECT_EQ(interface->result(), QDialog::Accepted);
    interface->show();
    QTest::keyClick(interface->BaudCB(), Qt::Key_Escape);
    EXPECT_EQ(interface->result(), QDialog::Rejected);
    interface->ComPortCB()->setCurrentIndex(0);
    EXPECT_FALSE(interface->BaudCB()->isEnabled());
}

TEST_F(MainWindow, SecondFormCreateLeavesNoOldPortDelivering) {
    Pty pty;
    ASSERT_TRUE(pty.LinkAs(Ports() + QStringLiteral("/com7")));
    Store("Com Port", 7);
    Start();
    ASSERT_TRUE(form->ZedCom()->ok());
    form->FormClose();  // closes the port and stores it
    Store("Com Port", -1);
    form->FormCreate(form->Action("Language1"));
    EXPECT_FALSE(form->ZedCom()->ok());
    pty.Write(Line(1, 1, "10:00:00.0000"));
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(form->Backup()->Book().NumSheets(), 2);
    EXPECT_EQ(Cell(kLogSheet, 1, 2), QString()) << "the closed port of the earlier run delivered";
}

}  // namespace
}  // namespace harvel
