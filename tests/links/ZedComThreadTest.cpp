#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "links/ZedComThread.h"
#include "platform/Errors.h"
#include "platform/PortNames.h"
#include "support/BackupLines.h"
#include "support/Pty.h"
#include "support/ScratchEnvironment.h"
#include "support/ScriptedInteraction.h"

namespace harvel {
namespace {

using test::BackupLine;
using test::Pty;
using test::WaitUntil;

QByteArray Line(int number, int channel = 1, const char* time = "10:15:30.1234") {
    return QByteArray::fromStdString(
        BackupLine(' ', QString::number(number).rightJustified(4, u'0').toStdString(),
                   static_cast<char>('0' + channel), ' ', time) +
        "\r\n");
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A link whose COM numbers resolve inside the scratch folder: COM7 is a pty linked there,
// and no /dev node of this machine is ever touched.
class SerialLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Valid());
        QDir().mkpath(ports());
        QDir().mkpath(env.Root() + QStringLiteral("/dev"));
        names = std::make_shared<PortNames>(ports(), env.Root() + QStringLiteral("/dev"),
                                            env.Root() + QStringLiteral("/sys"));
        ASSERT_TRUE(pty.LinkAs(ports() + QStringLiteral("/com7")));
        link = MakeLink();
    }
    [[nodiscard]] QString ports() const { return env.Root() + QStringLiteral("/ports"); }
    std::unique_ptr<TZedComThread> MakeLink() {
        auto made = std::make_unique<TZedComThread>();
        made->SetPortNames(names);
        made->SetOnVoraBackupReceived(
            [this](TZedComThread&, const Impulse& impulse) { impulses.push_back(impulse); });
        return made;
    }
    void Open() {
        link->SetPort(7);
        link->SetBaud(9600);
        link->OpenPort();
        ASSERT_TRUE(link->ok());
    }

    test::ScratchEnvironment env;
    test::ScriptedInteraction ui;
    Pty pty;
    std::shared_ptr<PortNames> names;
    std::unique_ptr<TZedComThread> link;
    std::vector<Impulse> impulses;
};

TEST(SerialLinkSettings, ConstructionDefaults) {
    TZedComThread link;
    EXPECT_EQ(link.DeviceName(), QStringLiteral("COM1"));
    EXPECT_FALSE(link.ok());
    EXPECT_EQ(link.Timeout(), 100);
    EXPECT_EQ(link.BufSize(), 65534);
    EXPECT_EQ(link.OutputBufferSize(), 65534);
    EXPECT_EQ(link.PacketSize(), 0);
    EXPECT_EQ(link.DataBits(), TDataBits::db8);
    EXPECT_EQ(link.Parity(), TParity::paNone);
    EXPECT_EQ(link.StopBits(), TStopBits::sb1);
    EXPECT_EQ(link.DebugFile(), std::string());
    EXPECT_FALSE(link.SendFileInProgress());
}

TEST(SerialLinkSettings, PortNamesReadBack) {
    TZedComThread link;
    const struct {
        int port;
        const char* name;
    } cases[] = {
        {1, "COM1"}, {9, "COM9"}, {10, "\\\\.\\COM10"}, {12, "\\\\.\\COM12"}, {99, "\\\\.\\COM99"}};
    for (const auto& c : cases) {
        link.SetPort(c.port);
        EXPECT_EQ(link.DeviceName(), QLatin1String(c.name));
        EXPECT_EQ(link.Port(), c.port);
    }
}

TEST(SerialLinkSettings, BaudTable) {
    TZedComThread link;
    const struct {
        int rate;
        TBaudRate value;
        int readBack;
    } cases[] = {{134, TBaudRate::br134_5, 134},        {9600, TBaudRate::br9600, 9600},
                 {115200, TBaudRate::br115200, 115200}, {256000, TBaudRate::br256000, 256000},
                 {0, TBaudRate::brDefault, 0},          {12345, TBaudRate::brCustom, 27},
                 {14400, TBaudRate::br14400, 14400}};
    for (const auto& c : cases) {
        link.SetBaud(c.rate);
        EXPECT_EQ(link.BaudRate(), c.value) << c.rate;
        EXPECT_EQ(link.Baud(), c.readBack) << c.rate;
    }
    const struct {
        int bits;
        TDataBits value;
    } bits[] = {{4, TDataBits::db4},
                {5, TDataBits::db5},
                {8, TDataBits::db8},
                {9, TDataBits::dbDefault},
                {0, TDataBits::dbDefault}};
    for (const auto& c : bits) {
        EXPECT_EQ(TZedComThread::DataBitsOf(c.bits), c.value) << c.bits;
    }
}

TEST_F(SerialLink, LinesInOneChunkAndSplitOverMany) {
    Open();
    pty.Write(Line(1) + Line(2) + Line(3));
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 3; }));
    const QByteArray line = Line(4, 5);
    for (const char ch : line) {
        pty.Write(QByteArray(1, ch));
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 4; }));
    EXPECT_EQ(impulses[3].StartNumber, 4);
    EXPECT_EQ(impulses[3].Channel, 5);
    EXPECT_EQ(impulses[3].Time, test::TimeOf(10, 15, 30, 1234));
}

TEST_F(SerialLink, BadBytesAndOverflowLoseOnlyTheirLines) {
    Open();
    QByteArray bad = Line(1);
    bad[12] = '\x90';
    pty.Write(bad + QByteArray(200, 'x') + "\r\n" + Line(2) + "garbage\r" + Line(3));
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() >= 2; }));
    WaitUntil([] { return false; }, 100);
    ASSERT_EQ(impulses.size(), 2u);
    EXPECT_EQ(impulses[0].StartNumber, 2);
    EXPECT_EQ(impulses[1].StartNumber, 3);
}

TEST_F(SerialLink, NestedReceiveBeepsAndProcessesBothChunks) {
    bool nested = false;
    link->SetOnVoraBackupReceived([&](TZedComThread&, const Impulse& impulse) {
        impulses.push_back(impulse);
        if (impulse.StartNumber == 1) {
            // As a modal box would: the event loop runs inside the handler.
            pty.Write(Line(2));
            nested = WaitUntil([&] { return impulses.size() == 2; });
        }
    });
    Open();
    pty.Write(Line(1));
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 2; }));
    EXPECT_TRUE(nested);
    EXPECT_EQ(ui.beeps, std::vector<BeepKind>{BeepKind::Asterisk});
    pty.Write(Line(3));
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 3; }));
    EXPECT_EQ(ui.beeps.size(), 1u) << "no beep once the handler has returned";
}

TEST_F(SerialLink, HandlerErrorReachesTheExceptionDialogAndTheNextLineIsRead) {
    link->SetOnVoraBackupReceived([&](TZedComThread&, const Impulse& impulse) {
        if (impulse.StartNumber == 1) {
            throw std::runtime_error("Row 65537 is outside 1..65536");
        }
        impulses.push_back(impulse);
    });
    Open();
    pty.Write(Line(1) + Line(2));
    ASSERT_TRUE(WaitUntil([&] { return !ui.exceptions.empty(); }));
    EXPECT_EQ(ui.exceptions[0], QStringLiteral("Row 65537 is outside 1..65536"));
    pty.Write(Line(3));
    ASSERT_TRUE(WaitUntil([&] { return !impulses.empty(); }));
    EXPECT_EQ(impulses.back().StartNumber, 3);
}

TEST_F(SerialLink, SendFileReportsProgressAsTheDeviceTakesIt) {
    Open();
    const QString path = env.Root() + QStringLiteral("/send.bin");
    QByteArray content;
    for (int i = 0; i < 1000; ++i)
        content += static_cast<char>('A' + i % 26);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    std::vector<std::pair<int, int>> progress;
    link->OnSendFileComplete = [&](TZedComThread&, int percent, int bytes) {
        progress.emplace_back(percent, bytes);
    };
    link->SendFile(path);
    EXPECT_TRUE(link->SendFileInProgress());
    EXPECT_THROW(link->SendFile(path), EAbort) << "one send at a time";
    QByteArray received;
    ASSERT_TRUE(WaitUntil([&] {
        received += pty.ReadAvailable();
        return !link->SendFileInProgress();
    }));
    WaitUntil([&] {
        received += pty.ReadAvailable();
        return received.size() >= 1000;
    });
    EXPECT_EQ(received, content);
    ASSERT_EQ(progress.size(), 102u);
    EXPECT_EQ(progress.front(), std::make_pair(0, 0));
    EXPECT_EQ(progress[1], std::make_pair(1, 10));
    EXPECT_EQ(progress[50], std::make_pair(50, 500));
    EXPECT_EQ(progress[100], std::make_pair(100, 1000));
    EXPECT_EQ(progress[101], std::make_pair(100, 1000));
}

TEST_F(SerialLink, ShortFileIsSentByteByByteAndAbortReportsTheWhole) {
    Open();
    const QString path = env.Root() + QStringLiteral("/short.bin");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("hello");
    }
    std::vector<std::pair<int, int>> progress;
    link->OnSendFileComplete = [&](TZedComThread&, int percent, int bytes) {
        progress.emplace_back(percent, bytes);
    };
    link->SendFile(path);
    ASSERT_TRUE(WaitUntil([&] { return !link->SendFileInProgress(); }));
    EXPECT_EQ(progress.size(), 7u);  // 0, five bytes, the end
    EXPECT_EQ(pty.ReadAvailable(), QByteArray("hello"));

    progress.clear();
    link->SendFile(path);
    link->AbortSendFile();
    EXPECT_FALSE(link->SendFileInProgress());
    EXPECT_EQ(progress.back(), std::make_pair(100, 5));
}

TEST_F(SerialLink, OperationsOnAClosedPortAbortQuietly) {
    EXPECT_THROW(link->SetHWHandshake(true), EAbort);
    EXPECT_FALSE(link->HWHandshake());
    EXPECT_THROW(link->SendFile(env.Root()), EAbort);
    EXPECT_TRUE(ui.boxes.empty());
    Open();
    link->SetHWHandshake(true);
    EXPECT_TRUE(link->HWHandshake());
    EXPECT_EQ(link->Options(), TComOptions{opOutputCTSFlow});
    EXPECT_THROW(link->SetPort(8), EAbort) << "no new name while open";
    link->SetPort(7);  // the same name is accepted
    EXPECT_EQ(link->Port(), 7);
}

TEST_F(SerialLink, SecondOpenerAndMissingDeviceAreRefused) {
    Open();
    auto second = MakeLink();
    second->SetPort(7);
    EXPECT_THROW(second->OpenPort(), EAbort);
    EXPECT_FALSE(second->ok());
    EXPECT_TRUE(second->LastError().contains(QStringLiteral("in use")))
        << qPrintable(second->LastError());

    auto missing = MakeLink();
    missing->SetPort(5);
    EXPECT_THROW(missing->OpenPort(), EAbort);
    EXPECT_FALSE(missing->ok());
    EXPECT_TRUE(ui.boxes.empty() && ui.messages.empty()) << "no message from the link";
}

TEST_F(SerialLink, HangUpClosesAtOnceAndLeavesTheLoopIdle) {
    Open();
    QString lost;
    link->OnConnectionLost = [&](TZedComThread&, const QString& reason) { lost = reason; };
    pty.Write(Line(1));
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 1; }));
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] { return !link->ok(); }, 2000));
    EXPECT_TRUE(lost.contains(QStringLiteral("disconnected"))) << qPrintable(lost);

    // A spinning notifier would burn the whole half second.
    const double before = CpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(500, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_LT(CpuSeconds() - before, 0.2);

    // The device comes back: the same COM number opens again and reads.
    Pty again;
    ASSERT_TRUE(again.LinkAs(ports() + QStringLiteral("/com7")));
    link->OpenPort();
    ASSERT_TRUE(link->ok());
    again.Write(Line(2));
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 2; }));
}

TEST_F(SerialLink, DebugFileGetsTheRawInput) {
    const std::string debug = (env.Root() + QStringLiteral("/raw.bin")).toStdString();
    link->SetDebugFile(debug);
    EXPECT_EQ(link->DebugFile(), debug);
    Open();
    pty.Write(Line(1) + "noise\x01");
    ASSERT_TRUE(WaitUntil([&] { return impulses.size() == 1; }));
    WaitUntil([] { return false; }, 50);
    link->SetDebugFile(std::string());
    QFile file(QString::fromStdString(debug));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), Line(1) + "noise\x01");

    link->SetDebugFile("/nonexistent/dir/raw.bin");
    EXPECT_EQ(link->DebugFile(), std::string());
}

TEST(PortNames, MapsNumbersAndListsWhatExists) {
    QTemporaryDir root;
    const QString ports = root.filePath(QStringLiteral("ports"));
    const QString dev = root.filePath(QStringLiteral("dev"));
    const QString sys = root.filePath(QStringLiteral("sys"));
    QDir().mkpath(ports);
    QDir().mkpath(dev);
    for (const char* node : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM2"}) {
        QFile(dev + u'/' + QLatin1String(node)).open(QIODevice::WriteOnly);
    }
    for (const auto& [node, type] : {std::pair{"ttyS0", "4"}, std::pair{"ttyS1", "0"}}) {
        const QString folder = sys + QStringLiteral("/class/tty/") + QLatin1String(node);
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/type"));
        file.open(QIODevice::WriteOnly);
        file.write(type);
    }
    QFile::link(QStringLiteral("/dev/pts/99"), ports + QStringLiteral("/com3"));
    QFile::link(dev + QStringLiteral("/ttyUSB0"), ports + QStringLiteral("/com33"));

    const PortNames names(ports, dev, sys);
    EXPECT_EQ(names.Enumerate(), (QStringList{QStringLiteral("COM1"), QStringLiteral("COM3"),
                                              QStringLiteral("COM33"), QStringLiteral("COM67")}));
    EXPECT_EQ(names.DevicePath(3), ports + QStringLiteral("/com3"))
        << "a dangling link still names it";
    EXPECT_EQ(names.DevicePath(2), dev + QStringLiteral("/ttyS1"));
    EXPECT_EQ(names.DevicePath(40), dev + QStringLiteral("/ttyUSB7"));
    EXPECT_EQ(names.DevicePath(65), dev + QStringLiteral("/ttyACM0"));
    EXPECT_EQ(names.DevicePath(97), QString());
    EXPECT_EQ(names.DevicePath(0), QString());

    const struct {
        const char* name;
        int number;
    } cases[] = {{"COM7", 7}, {"\\\\.\\COM12", 12}, {"com3", 3},
                 {"COM", 0},  {"LPT1", 0},          {"COM1x", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(PortNames::ComNumberOf(QLatin1String(c.name)), c.number) << c.name;
    }
}

}  // namespace
}  // namespace harvel
