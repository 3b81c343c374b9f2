#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <csignal>

#include "platform/Workbook.h"
#include "platform/XlsFile.h"
#include "support/Python.h"

namespace harvel {
namespace {

using test::RunPython;

// Every sheet of a file as xlrd sees it: {"names": [...], "sheets": [[[row, col, text]...]...],
// "widths": [[col, width]...] of the first sheet}.
const char* const kXlrdDump = R"(
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = {"names": [s.name for s in book.sheets()], "sheets": [], "widths": []}
for s in book.sheets():
    cells = []
    for r in range(s.nrows):
        for c in range(s.ncols):
            v = s.cell_value(r, c)
            if v != "":
                cells.append([r + 1, c + 1, v if isinstance(v, str) else repr(v)])
    out["sheets"].append(cells)
first = book.sheet_by_index(0)
out["widths"] = sorted([c, i.width] for c, i in first.colinfo_map.items())
print(json.dumps(out))
)";

QJsonObject XlrdDump(const QString& path) {
    const QString output = RunPython(QLatin1String(kXlrdDump), {path});
    return QJsonDocument::fromJson(output.toUtf8()).object();
}

WorkbookData Sample() {
    WorkbookData data;
    SheetData pairing;
    pairing.name = QStringLiteral("DayTime");
    pairing.cells = {{1, 1, QStringLiteral("10:15:30.1234")},
                     {1, 4, QStringLiteral("10:15:30.5000")},
                     {3, 26, QStringLiteral("Zürich – Ölrain ✓")},
                     {65536, 256, QStringLiteral("corner")}};
    pairing.widths.assign(26, 3450);
    SheetData log;
    log.name = QStringLiteral("LastDetection");
    log.cells = {{1, 1, QStringLiteral(" ")},
                 {1, 2, QStringLiteral("42")},
                 {1, 3, QStringLiteral("1")},
                 {1, 5, QStringLiteral("10:15:30.1234")},
                 {2, 2, QStringLiteral("'0042")}};
    log.widths = {2304, 2304, 2304, 2304, 3450};
    data.sheets = {pairing, log};
    return data;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Xls : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

TEST_F(Xls, RoundTripThroughOurWriterAndReader) {
    WorkbookData data = Sample();
    // Enough distinct strings to spread the string table over CONTINUE records, one of
    // them longer than a record, and one with characters beyond 8 bits.
    SheetData many;
    many.name = QStringLiteral("Many");
    for (int row = 1; row <= 3000; ++row) {
        many.cells.push_back({row, 1, QStringLiteral("row %1 of many").arg(row)});
    }
    many.cells.push_back({3001, 1, QString(4000, u'x')});
    many.cells.push_back({3002, 1, QString(4000, QChar(0x263A))});
    data.sheets.push_back(many);

    WriteXls(data, Path("round.xls"));
    int type = 0;
    const WorkbookData back = ReadXls(Path("round.xls"), &type);
    EXPECT_EQ(type, kFileTypeExcel97);
    ASSERT_EQ(back.sheets.size(), 3u);
    for (std::size_t s = 0; s < 3; ++s) {
        EXPECT_EQ(back.sheets[s].name, data.sheets[s].name);
        ASSERT_EQ(back.sheets[s].cells.size(), data.sheets[s].cells.size()) << s;
        for (std::size_t i = 0; i < data.sheets[s].cells.size(); ++i) {
            EXPECT_EQ(back.sheets[s].cells[i].row, data.sheets[s].cells[i].row);
            EXPECT_EQ(back.sheets[s].cells[i].col, data.sheets[s].cells[i].col);
            EXPECT_EQ(back.sheets[s].cells[i].text, data.sheets[s].cells[i].text) << s << "/" << i;
        }
    }
}

TEST_F(Xls, IndependentReadersSeeNamesCellsAndWidths) {
    WriteXls(Sample(), Path("check.xls"));
    const QJsonObject dump = XlrdDump(Path("check.xls"));
    ASSERT_FALSE(dump.isEmpty()) << qPrintable(
        RunPython(QLatin1String(kXlrdDump), {Path("check.xls")}));
    EXPECT_EQ(dump[QStringLiteral("names")].toArray(),
              (QJsonArray{QStringLiteral("DayTime"), QStringLiteral("LastDetection")}));
    const QJsonArray first = dump[QStringLiteral("sheets")].toArray()[0].toArray();
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(first[2].toArray(), (QJsonArray{3, 26, QStringLiteral("Zürich – Ölrain ✓")}));
    EXPECT_EQ(first[3].toArray(), (QJsonArray{65536, 256, QStringLiteral("corner")}));
    const QJsonArray second = dump[QStringLiteral("sheets")].toArray()[1].toArray();
    EXPECT_EQ(second[4].toArray(), (QJsonArray{2, 2, QStringLiteral("'0042")}));
    const QJsonArray widths = dump[QStringLiteral("widths")].toArray();
    ASSERT_EQ(widths.size(), 26);
    EXPECT_EQ(widths[0].toArray(), (QJsonArray{0, 3450}));

    // Gnumeric's converter, one CSV per sheet.
    QProcess ssconvert;
    ssconvert.start(QStringLiteral("ssconvert"),
                    {QStringLiteral("-S"), Path("check.xls"), Path("check_%n.csv")});
    ASSERT_TRUE(ssconvert.waitForFinished(60000));
    const QString sheet0 = QString::fromUtf8(ReadAll(Path("check_0.csv")));
    const QString sheet1 = QString::fromUtf8(ReadAll(Path("check_1.csv")));
    EXPECT_TRUE(sheet0.startsWith(QStringLiteral("10:15:30.1234,,,10:15:30.5000")))
        << qPrintable(sheet0.left(200));
    EXPECT_TRUE(sheet0.contains(QStringLiteral("Zürich – Ölrain ✓")));
    EXPECT_TRUE(sheet1.startsWith(QStringLiteral("\" \",42,1,,10:15:30.1234")))
        << qPrintable(sheet1.left(200));
}

TEST_F(Xls, OpensWhatXlwtWrites) {
    const QString written = RunPython(QStringLiteral(R"(
import sys, xlwt
for count in (1, 2, 3):
    book = xlwt.Workbook()
    for s in range(count):
        sheet = book.add_sheet("Sheet %d" % (s + 1))
        sheet.write(0, 0, "10:00:00.0000")
        sheet.write(0, 1, 42)
        sheet.write(0, 2, 3.25)
        sheet.write(4, 0, "after empty rows")
    book.save(sys.argv[1] + "/xlwt%d.xls" % count)
print("ok")
)"),
                                      {dir.path()});
    ASSERT_EQ(written.trimmed(), QStringLiteral("ok")) << qPrintable(written);
    for (int count = 1; count <= 3; ++count) {
        Workbook book;
        EXPECT_EQ(book.ReadEx(dir.filePath(QStringLiteral("xlwt%1.xls").arg(count))),
                  kFileTypeExcel97);
        ASSERT_EQ(book.NumSheets(), count);
        book.SetSheet(count);
        EXPECT_EQ(book.SheetName(count), QStringLiteral("Sheet %1").arg(count));
        EXPECT_EQ(book.get_TextRC(1, 1), QStringLiteral("10:00:00.0000"));
        EXPECT_EQ(book.get_TextRC(1, 2), QStringLiteral("42"));
        EXPECT_EQ(book.get_TextRC(1, 3), QStringLiteral("3.25"));
        EXPECT_EQ(book.get_TextRC(2, 1), QString());
        EXPECT_EQ(book.get_TextRC(5, 1), QStringLiteral("after empty rows"));
    }
}

TEST_F(Xls, FilesThatAreNoWorkbookGiveCodeEightAndChangeNothing) {
    WriteXls(Sample(), Path("good.xls"));
    const QByteArray good = ReadAll(Path("good.xls"));
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"truncated.xls", good.left(good.size() / 2)},
        {"text.xls", "Info;Number;Channel\n 0042;1;10:15:30\n"},
        {"empty.xls", ""},
        {"header_only.xls", good.left(512)},
    };
    for (const auto& c : cases) {
        QFile file(Path(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();
        Workbook book;
        book.set_TextRC(1, 1, QStringLiteral("kept"));
        EXPECT_EQ(book.ReadEx(Path(c.name)), kFileTypeUnreadable) << c.name;
        EXPECT_EQ(book.get_TextRC(1, 1), QStringLiteral("kept")) << c.name;
    }
    Workbook book;
    EXPECT_EQ(book.ReadEx(Path("missing.xls")), kFileTypeUnreadable);
}

TEST_F(Xls, FailedSaveLeavesThePreviousFileAsItWas) {
    WriteXls(Sample(), Path("keep.xls"));
    const QByteArray before = ReadAll(Path("keep.xls"));
    WorkbookData bigger = Sample();
    for (int row = 1; row <= 20000; ++row) {
        bigger.sheets[1].cells.push_back({row + 2, 1, QStringLiteral("line %1").arg(row)});
    }
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size());
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(WriteXls(bigger, Path("keep.xls")), XlsError);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(ReadAll(Path("keep.xls")), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("keep.xls")});

    // A read-only file is not replaced, even for a user who could.
    QFile::setPermissions(Path("keep.xls"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_THROW(WriteXls(bigger, Path("keep.xls")), XlsError);
    EXPECT_EQ(ReadAll(Path("keep.xls")), before);
    EXPECT_THROW(WriteXls(Sample(), Path("no/such/folder.xls")), XlsError);
}

TEST_F(Xls, OverlongCellIsCutSoTheFileStaysReadable) {
    WorkbookData data;
    data.sheets.push_back({QStringLiteral("Long"), {{1, 1, QString(20000, QChar(0x263A))}}, {}});
    WriteXls(data, Path("long.xls"));
    const WorkbookData back = ReadXls(Path("long.xls"));
    ASSERT_EQ(back.sheets[0].cells.size(), 1u);
    EXPECT_EQ(back.sheets[0].cells[0].text, QString(4000, QChar(0x263A)));
}

TEST(XlsSheetNames, AreMadeValidAndUnique) {
    QTemporaryDir dir;
    WorkbookData data;
    for (const QString& name : {QStringLiteral("a/b:c?d*e[f]g\\h"), QString(40, u'n'),
                                QStringLiteral("Same"), QStringLiteral("same"), QString()}) {
        SheetData sheet;
        sheet.name = name;
        data.sheets.push_back(sheet);
    }
    WriteXls(data, dir.filePath(QStringLiteral("names.xls")));
    const WorkbookData back = ReadXls(dir.filePath(QStringLiteral("names.xls")));
    ASSERT_EQ(back.sheets.size(), 5u);
    EXPECT_EQ(back.sheets[0].name, QStringLiteral("a_b_c_d_e_f_g_h"));
    EXPECT_EQ(back.sheets[1].name, QString(31, u'n'));
    EXPECT_EQ(back.sheets[2].name, QStringLiteral("Same"));
    EXPECT_EQ(back.sheets[3].name, QStringLiteral("same(2)"));
    EXPECT_EQ(back.sheets[4].name, QStringLiteral("Sheet5"));
}

}  // namespace
}  // namespace harvel
