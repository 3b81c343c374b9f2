#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <stdexcept>

#include "support/ScratchEnvironment.h"
#include "tools/SystemInfo.h"
#include "tools/ZelLog.h"

namespace harvel {
namespace {

QStringList LinesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    return lines;
}

QString TextAfterStamp(const QString& line) {
    return line.mid(13);
}

void MakeFile(const QString& path, qint64 size) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_TRUE(file.resize(size));
}

class Log : public ::testing::Test {
protected:
    test::ScratchEnvironment env;
};

TEST_F(Log, FirstRunWritesTheOpeningLinesWithTimeStamps) {
    const QString path = ZelLog::DefaultPath();
    EXPECT_EQ(path, env.Temp() + QStringLiteral("/DebugFile") +
                        QFileInfo(ProgramFilePath()).fileName() + QStringLiteral(".log"));
    {
        ZelLog log;
        EXPECT_FALSE(log.IsOpen());
        log.WriteLine(QStringLiteral("Start FormCreate"));
        EXPECT_EQ(log.FileName(), path);
        log.WriteLine("End FormCreate");
    }
    const QStringList lines = LinesOf(path);
    ASSERT_EQ(lines.size(), 8) << qPrintable(lines.join(u'|'));
    const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d0\\t"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(stamp.match(lines[i]).hasMatch()) << qPrintable(lines[i]);
    }
    EXPECT_TRUE(TextAfterStamp(lines[0]).startsWith(QStringLiteral("Logfile opend: ")));
    EXPECT_EQ(TextAfterStamp(lines[1]), QStringLiteral("Program:") + ProgramFilePath() +
                                            QStringLiteral(" V") +
                                            QString::fromLatin1(HARVEL_VERSION_TEXT).remove(u' '));
    EXPECT_EQ(TextAfterStamp(lines[2]),
              QStringLiteral("Operating System: ") + OperatingSystemName());
    EXPECT_EQ(TextAfterStamp(lines[3]), QStringLiteral("Start FormCreate"));
    EXPECT_EQ(TextAfterStamp(lines[4]), QStringLiteral("End FormCreate"));
    EXPECT_EQ(TextAfterStamp(lines[5]), QStringLiteral("Logfile closed"));
    EXPECT_EQ(lines[6], QString()) << "an empty line follows the closing line";
    EXPECT_EQ(lines[7], QString());
}

TEST_F(Log, RotatesOnlyAboveTheLimit) {
    const struct {
        qint64 size;
        bool rotated;
    } cases[] = {{5000000, false}, {5000001, true}};
    for (const auto& c : cases) {
        const QString path = env.Temp() + QStringLiteral("/rotate%1.log").arg(c.size);
        MakeFile(path + QStringLiteral(".bak"), 10);  // an older copy
        MakeFile(path, c.size);
        ZelLog log;
        ASSERT_TRUE(log.Open(path));
        if (c.rotated) {
            EXPECT_EQ(QFileInfo(path + QStringLiteral(".bak")).size(), c.size);
            EXPECT_LT(QFileInfo(path).size(), 1000);
        } else {
            EXPECT_EQ(QFileInfo(path + QStringLiteral(".bak")).size(), 10);
            EXPECT_GT(QFileInfo(path).size(), c.size);
        }
    }
}

TEST_F(Log, TextIsNeverAFormat) {
    const QString path = env.Temp() + QStringLiteral("/percent.log");
    ZelLog log;
    ASSERT_TRUE(log.Open(path));
    log.WriteLine("VoraString: 100% %s %n %d");
    log.WriteLine(QStringLiteral("wide %s%%"));
    const QStringList lines = LinesOf(path);
    EXPECT_EQ(TextAfterStamp(lines[3]), QStringLiteral("VoraString: 100% %s %n %d"));
    EXPECT_EQ(TextAfterStamp(lines[4]), QStringLiteral("wide %s%%"));
}

TEST_F(Log, UnopenableFileIsRetriedAtEveryLineWithoutAMessage) {
    ZelLog log;
    EXPECT_FALSE(log.Open(env.Root() + QStringLiteral("/missing/dir/x.log")));
    // A folder in the log file's place makes every open fail.
    const QString path = ZelLog::DefaultPath();
    ASSERT_TRUE(QDir().mkpath(path));
    log.WriteLine(QStringLiteral("lost"));
    EXPECT_FALSE(log.IsOpen());
    ASSERT_TRUE(QDir().rmdir(path));
    log.WriteLine(QStringLiteral("kept"));
    ASSERT_TRUE(log.IsOpen());
    const QStringList lines = LinesOf(path);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(TextAfterStamp(lines[3]), QStringLiteral("kept"));
}

TEST_F(Log, TempDirFallsBackWhenTmpdirPointsNowhere) {
    qputenv("TMPDIR", (env.Root() + QStringLiteral("/does/not/exist")).toLocal8Bit());
    EXPECT_EQ(GetTempDir(), QStringLiteral("/tmp"));
    qputenv("TMPDIR", (env.Temp() + u'/').toLocal8Bit());
    EXPECT_EQ(GetTempDir(), env.Temp()) << "one trailing separator removed";
}

TEST_F(Log, LineSurvivesAKillRightAfterIt) {
    const QString path = env.Temp() + QStringLiteral("/killed.log");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ZelLog log;
        log.Open(path);
        log.WriteLine("Info: StartNumber:42 Channel:1");
        kill(getpid(), SIGKILL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const QStringList lines = LinesOf(path);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(TextAfterStamp(lines[3]), QStringLiteral("Info: StartNumber:42 Channel:1"));
}

TEST_F(Log, FailingSystemQueryLeavesTheLogUsable) {
    const QString path = env.Temp() + QStringLiteral("/wow.log");
    ZelLog log;
    log.SetSystemDescription([]() -> QString {
        return WindowsName({6, 1, 2, QStringLiteral("Service Pack 1")}, []() -> bool {
            throw std::runtime_error("Could not get handle for IsWow64Process");
        });
    });
    EXPECT_TRUE(log.Open(path));
    log.WriteLine(QStringLiteral("Start FormCreate"));
    const QStringList lines = LinesOf(path);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(
        TextAfterStamp(lines[2]),
        QStringLiteral("Operating System: unknown (Could not get handle for IsWow64Process)"));
    EXPECT_EQ(TextAfterStamp(lines[3]), QStringLiteral("Start FormCreate"));
}

TEST(WindowsName, Table) {
    const struct {
        WindowsVersion version;
        bool wow64;
        const char* expected;
        bool asksBitness;
    } cases[] = {
        {{4, 0, 1, QStringLiteral("A")}, false, "Windows 95 A", false},
        {{4, 10, 1, QString()}, false, "Windows 98 ", false},
        {{4, 90, 1, QString()}, false, "Windows ME ", false},
        {{4, 3, 1, QStringLiteral("x")}, false, "Windows ?? 4.3 x", false},
        {{4, 0, 2, QStringLiteral("SP6")}, false, "Windows NT 4.0 SP6", false},
        {{5, 0, 2, QString()}, false, "Windows 2000 ", false},
        {{5, 1, 2, QStringLiteral("Service Pack 3")}, true, "Windows XP Service Pack 3", false},
        {{5, 2, 2, QString()}, true, "Windows Server 2003/XP64  64 Bit", true},
        {{5, 7, 2, QString()}, true, "Windows ", false},
        {{6, 0, 2, QString()}, false, "Windows Vista/Server 2008  32 Bit", true},
        {{6, 1, 2, QStringLiteral("Service Pack 1")},
         true,
         "Windows 7 or higher Service Pack 1 64 Bit",
         true},
        {{10, 0, 2, QString()}, true, "Unknown OS", false},
    };
    for (const auto& c : cases) {
        int asked = 0;
        const QString name = WindowsName(c.version, [&] {
            ++asked;
            return c.wow64;
        });
        EXPECT_EQ(name, QLatin1String(c.expected));
        EXPECT_EQ(asked > 0, c.asksBitness) << c.expected;
    }
}

// Put together at run time, so that this test program holds no mark of its own.
QByteArray Mark(const char* version) {
    QByteArray mark("HARVEL-FILEVERSION");
    mark += ':';
    mark += version;
    mark += '\0';
    return mark;
}

TEST(FileVersionText, ReadsTheVersionMarkOfAProgramFile) {
    QTemporaryDir dir;
    const struct {
        QByteArray content;
        const char* expected;
    } cases[] = {
        {"\x7f"
         "ELF...." +
             Mark("1, 0, 0, 5") + "tail",
         "1,0,0,5"},
        {Mark(""), "No Version"},
        {QByteArray("no mark in here"), ""},
        // A mark across the 1 MiB read boundary is found too.
        {QByteArray((1 << 20) - 5, 'x') + Mark("2, 1, 0, 0"), "2,1,0,0"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("program%1").arg(n++));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        EXPECT_EQ(FileVersionText(path), QLatin1String(c.expected)) << n;
    }
    EXPECT_EQ(FileVersionText(dir.filePath(QStringLiteral("missing"))), QString());
    EXPECT_EQ(FileVersionText(ProgramFilePath()),
              QString::fromLatin1(HARVEL_VERSION_TEXT).remove(u' '));
    EXPECT_EQ(WithProgramVersion(QStringLiteral("p")),
              QStringLiteral("p V") + QString::fromLatin1(HARVEL_VERSION_TEXT).remove(u' '));
}

}  // namespace
}  // namespace harvel
