#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <csignal>

#include "settings/RegTools.h"
#include "settings/RegistryText.h"
#include "support/ScratchEnvironment.h"

namespace harvel {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class Store : public ::testing::Test {
protected:
    void SetUp() override { QDir().mkpath(env.Config() + QStringLiteral("/harvel")); }
    void TearDown() override { TRegTools::SetWarningSink(nullptr); }
    [[nodiscard]] QString FileText() const {
        return QString::fromUtf8(ReadAll(TRegTools::StorePath()));
    }

    test::ScratchEnvironment env;
    TRegTools store;
};

TEST_F(Store, MissingValuesReturnAndWriteBackTheirDefaults) {
    EXPECT_EQ(store.ReadInteger(SettingsKey, QStringLiteral("Baud"), 9600), 9600);
    EXPECT_EQ(store.ReadInteger(SettingsKey, QStringLiteral("Window Top"), -12), -12);
    EXPECT_EQ(
        store.ReadString(SettingsKey, QStringLiteral("Manual IP"), QStringLiteral("127.0.0.1")),
        QStringLiteral("127.0.0.1"));
    EXPECT_EQ(store.ReadString(FilesKey, QStringLiteral("Load Language File"), QString()),
              QString());

    const QString text = FileText();
    EXPECT_TRUE(text.contains(
        QStringLiteral("[HKEY_CURRENT_USER\\Software\\PELK-RAREZE\\Vora\\Harvel\\Settings]")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"Baud\"=dword:00002580"))) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("\"Window Top\"=dword:fffffff4")));
    EXPECT_TRUE(text.contains(QStringLiteral("\"Manual IP\"=\"127.0.0.1\"")));
    EXPECT_FALSE(text.contains(QStringLiteral("Files"))) << "an empty default writes nothing";

    // Once written, the stored value wins over another default.
    EXPECT_EQ(store.ReadInteger(SettingsKey, QStringLiteral("Baud"), 19200), 9600);
}

TEST_F(Store, ValuesOfTheWrongType) {
    WriteAll(TRegTools::StorePath(),
             "Windows Registry Editor Version 5.00\n\n"
             "[HKEY_CURRENT_USER\\Software\\PELK-RAREZE\\Vora\\Harvel\\Settings]\n"
             "\"Corresponding Time 3\"=\"500\"\n"
             "\"Manual IP\"=dword:00000001\n");
    // An integer stored as a string reads as missing and is replaced.
    EXPECT_EQ(store.ReadInteger(SettingsKey, QStringLiteral("Corresponding Time 3"), 1000), 1000);
    EXPECT_TRUE(FileText().contains(QStringLiteral("\"Corresponding Time 3\"=dword:000003e8")));
    // A string stored as an integer is an error for the caller.
    EXPECT_THROW((void)store.ReadString(SettingsKey, QStringLiteral("Manual IP"),
                                        QStringLiteral("127.0.0.1")),
                 RegistryError);
}

TEST_F(Store, UnreadableFileIsKeptAsideAndDefaultsApply) {
    const QByteArray garbage = "this is not\n[a settings file\n\x01\x02";
    WriteAll(TRegTools::StorePath(), garbage);
    QStringList warnings;
    TRegTools::SetWarningSink([&](const QString& text) { warnings << text; });

    EXPECT_EQ(store.ReadInteger(SettingsKey, QStringLiteral("Com Port"), 1), 1);
    EXPECT_EQ(ReadAll(TRegTools::StorePath() + QStringLiteral(".bad")), garbage);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral(".bad")));
    EXPECT_TRUE(FileText().contains(QStringLiteral("\"Com Port\"=dword:00000001")));

    // A second bad file does not replace the first copy.
    WriteAll(TRegTools::StorePath(), "[HKEY_LOCAL_MACHINE\\Software]\n");
    EXPECT_EQ(store.ReadInteger(SettingsKey, QStringLiteral("Com Port"), 1), 1);
    EXPECT_EQ(ReadAll(TRegTools::StorePath() + QStringLiteral(".bad")), garbage);
    EXPECT_TRUE(QFile::exists(TRegTools::StorePath() + QStringLiteral(".bad2")));
}

TEST_F(Store, FileIsForTheUserOnlyAndTwoStoresShareIt) {
    TRegTools other;
    store.WriteInteger(SettingsKey, QStringLiteral("UDP Port"), 5000);
    EXPECT_EQ(other.ReadInteger(SettingsKey, QStringLiteral("UDP Port"), 4459), 5000);
    other.WriteString(FilesKey, QStringLiteral("Load Language File"),
                      QStringLiteral("C:\\Lang\\\"Deutsch\".lng"));
    EXPECT_EQ(store.ReadString(FilesKey, QStringLiteral("Load Language File"), QString()),
              QStringLiteral("C:\\Lang\\\"Deutsch\".lng"));
    const auto permissions = QFileInfo(TRegTools::StorePath()).permissions();
    EXPECT_TRUE(permissions & QFileDevice::ReadOwner);
    EXPECT_FALSE(permissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
}

TEST_F(Store, FailedWriteRaisesAndLeavesThePreviousFileWhole) {
    for (int i = 0; i < 10; ++i) {
        store.WriteInteger(SettingsKey, QStringLiteral("Channel %1 Column").arg(i), i + 1);
    }
    const QByteArray before = ReadAll(TRegTools::StorePath());
    // Any file written from now on may hold only a few bytes: the replacement fails.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(store.WriteInteger(SettingsKey, QStringLiteral("Baud"), 115200), RegistryError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadAll(TRegTools::StorePath()), before);
    const QStringList leftovers =
        QDir(QFileInfo(TRegTools::StorePath()).absolutePath()).entryList(QDir::Files);
    EXPECT_EQ(leftovers, QStringList{QStringLiteral("settings.reg")});
}

TEST_F(Store, FolderThatCannotBeMadeRaises) {
    WriteAll(env.Root() + QStringLiteral("/plainfile"), "x");
    qputenv("XDG_CONFIG_HOME", (env.Root() + QStringLiteral("/plainfile")).toLocal8Bit());
    EXPECT_THROW(store.WriteInteger(SettingsKey, QStringLiteral("Baud"), 9600), RegistryError);
    EXPECT_THROW((void)store.ReadInteger(SettingsKey, QStringLiteral("Baud"), 9600), RegistryError);
}

TEST_F(Store, DocumentsFolderComesFromTheSystemAndIsNeverStored) {
    const QString folder = store.GetPersonalFolder();
    EXPECT_EQ(folder, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    EXPECT_FALSE(folder.endsWith(u'/'));
    EXPECT_FALSE(FileText().contains(QStringLiteral("Personal")));
}

TEST(RegistryText, RoundTripKeepsTypesAndEscapes) {
    RegistryValues values;
    values.insert(QStringLiteral("Software/A/Settings/Com Port"), 7);
    values.insert(QStringLiteral("Software/A/Settings/Negative"), -1);
    values.insert(QStringLiteral("Software/A/Settings/Path"), QStringLiteral("C:\\x\\\"q\" ünï"));
    values.insert(QStringLiteral("Software/A/Files/Empty"), QString());
    values.insert(QStringLiteral("Software/A/Settings/Sub/Deep"), 3);
    const QByteArray text = FormatRegistryText(values);
    const auto parsed = ParseRegistryText(text);
    ASSERT_TRUE(parsed) << text.constData();
    EXPECT_EQ(*parsed, values);
    EXPECT_EQ(parsed->value(QStringLiteral("Software/A/Settings/Com Port")).typeId(),
              QMetaType::Int);
    EXPECT_EQ(parsed->value(QStringLiteral("Software/A/Files/Empty")).typeId(), QMetaType::QString);
}

TEST(RegistryText, ReadsWhatARegistryExportHolds) {
    const auto parsed = ParseRegistryText(
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
        "; a comment\r\n"
        "[HKEY_CURRENT_USER\\Software\\X]\r\n"
        "\"Expand\"=hex(2):25,00,54,00,00,00\r\n"
        "\"Big\"=dword:ffffffff\r\n");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->value(QStringLiteral("Software/X/Expand")), QVariant(QStringLiteral("%T")));
    EXPECT_EQ(parsed->value(QStringLiteral("Software/X/Big")), QVariant(-1));
}

TEST(RegistryText, RefusesWhatItCannotRead) {
    const char* const bad[] = {
        "\"Name\"=dword:00000001\n",                   // value outside a section
        "[HKEY_CURRENT_USER\\S]\n\"Name\"=dword:1\n",  // short dword
        "[HKEY_CURRENT_USER\\S]\n\"Name\"=\"open\n",   // unterminated text
        "[HKEY_CURRENT_USER\\S]\n\"Name\"=qword:0000000000000001\n",
        "[HKEY_CURRENT_USER\\S]\nName=dword:00000001\n",
        "[HKEY_CURRENT_USER\\S\n",
        "[HKEY_LOCAL_MACHINE\\S]\n",
        "[HKEY_CURRENT_USER\\S]\n\"Odd\"=hex(2):41\n",
    };
    for (const char* text : bad) {
        EXPECT_FALSE(ParseRegistryText(text)) << text;
    }
}

}  // namespace
}  // namespace harvel
