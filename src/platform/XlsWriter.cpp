#include <fcntl.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/XlsFile.h"

namespace harvel {
namespace {

constexpr int kMaxRecord = 8224;  // body bytes of one BIFF8 record
// Excel takes 32767 characters a cell, but the reader library refuses a whole file whose
// string table holds a string of some 5000 wide characters; 4000 keep our own files readable.
constexpr int kMaxCellText = 4000;
constexpr quint16 kCellXf = 15;

void Put16(QByteArray& out, quint32 value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(QByteArray& out, quint32 value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Patch32(QByteArray& out, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A record written straight into the stream: the hot path of a full table.
template <std::size_t N>
void FixedRecord(QByteArray& out, quint16 type, const std::array<quint16, N>& words) {
    char bytes[4 + 2 * N];
    bytes[0] = static_cast<char>(type & 0xFF);
    bytes[1] = static_cast<char>(type >> 8);
    bytes[2] = static_cast<char>((2 * N) & 0xFF);
    bytes[3] = static_cast<char>((2 * N) >> 8);
    for (std::size_t i = 0; i < N; ++i) {
        bytes[4 + 2 * i] = static_cast<char>(words[i] & 0xFF);
        bytes[5 + 2 * i] = static_cast<char>(words[i] >> 8);
    }
    out.append(bytes, static_cast<qsizetype>(sizeof bytes));
}

void Record(QByteArray& out, quint16 type, const QByteArray& body) {
    Put16(out, type);
    Put16(out, static_cast<quint32>(body.size()));
    out.append(body);
}

bool Compressible(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() <= 0xFF; });
}

void AppendChars(QByteArray& out, const QString& text, qsizetype from, qsizetype count,
                 bool compressed) {
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t code = text.at(i).unicode();
        out.append(static_cast<char>(code & 0xFF));
        if (!compressed) {
            out.append(static_cast<char>(code >> 8));
        }
    }
}

// A short string with an 8-bit length (sheet and font names).
QByteArray ShortString(const QString& text) {
    QByteArray out;
    const bool compressed = Compressible(text);
    out.append(static_cast<char>(text.size()));
    out.append(compressed ? '\0' : '\1');
    AppendChars(out, text, 0, text.size(), compressed);
    return out;
}

QByteArray Bof(quint16 kind) {
    QByteArray body;
    Put16(body, 0x0600);  // BIFF8
    Put16(body, kind);
    Put16(body, 0x0DBB);
    Put16(body, 0x07CC);
    Put32(body, 0);
    Put32(body, 0x00000006);
    return body;
}

QByteArray Font() {
    QByteArray body;
    Put16(body, 200);     // 10 points
    Put16(body, 0);       // plain
    Put16(body, 0x7FFF);  // automatic colour
    Put16(body, 400);     // normal weight
    Put16(body, 0);
    body.append('\0');  // no underline
    body.append('\0');  // family
    body.append('\0');  // character set
    body.append('\0');
    body.append(ShortString(QStringLiteral("Arial")));
    return body;
}

QByteArray Xf(bool style) {
    QByteArray body;
    Put16(body, 0);                        // font
    Put16(body, 0);                        // number format "General"
    Put16(body, style ? 0xFFF5 : 0x0001);  // locked; style XFs have no parent
    body.append('\x20');                   // bottom aligned
    body.append('\0');
    body.append('\0');
    body.append(style ? '\xF4' : '\0');  // attributes taken from the style
    Put32(body, 0);
    Put32(body, 0);
    Put16(body, 0x20C0);  // pattern colours: automatic
    return body;
}

// Valid, unique sheet names, as Excel requires them.
std::vector<QString> SheetNames(const WorkbookData& data) {
    std::vector<QString> names;
    for (std::size_t i = 0; i < data.sheets.size(); ++i) {
        QString name = data.sheets[i].name;
        for (const QChar bad : {u':', u'\\', u'/', u'?', u'*', u'[', u']'}) {
            name.replace(bad, u'_');
        }
        name = name.left(31);
        if (name.trimmed().isEmpty()) {
            name = QStringLiteral("Sheet%1").arg(i + 1);
        }
        const QString base = name;
        for (int n = 2; std::any_of(names.begin(), names.end(),
                                    [&](const QString& other) {
                                        return other.compare(name, Qt::CaseInsensitive) == 0;
                                    });
             ++n) {
            const QString suffix = QStringLiteral("(%1)").arg(n);
            name = base.left(31 - suffix.size()) + suffix;
        }
        names.push_back(name);
    }
    return names;
}

// The shared string table, split over CONTINUE records, and the EXTSST that indexes it.
// Interning uses a flat open-addressed table: a full table has a million mostly distinct
// strings, where a node-based hash spends most of the save's time.
struct SharedStrings {
    explicit SharedStrings(std::size_t expected) {
        std::size_t size = 16;
        while (size < expected * 2)
            size <<= 1;
        table.assign(size, 0);
        unique.reserve(expected);
        hashes.reserve(expected);
    }
    quint32 Intern(const QString& text) {
        const std::size_t hash = qHash(text);
        const std::size_t mask = table.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const quint32 slot = table[i];
            if (slot == 0) {
                unique.push_back(text);
                hashes.push_back(hash);
                table[i] = static_cast<quint32>(unique.size());
                return static_cast<quint32>(unique.size() - 1);
            }
            if (hashes[slot - 1] == hash && unique[slot - 1] == text) {
                return slot - 1;
            }
        }
    }
    std::vector<quint32> table;  // index + 1 into unique; 0 empty
    std::vector<QString> unique;
    std::vector<std::size_t> hashes;
    quint32 total = 0;
};

void WriteSst(QByteArray& stream, const SharedStrings& strings) {
    const quint32 unique = static_cast<quint32>(strings.unique.size());
    const quint32 perBucket = std::max<quint32>(8, (unique + 127) / 128);
    QByteArray extsst;
    Put16(extsst, perBucket);

    QByteArray body;
    Put32(body, strings.total);
    Put32(body, unique);
    quint16 type = 0x00FC;  // SST, then CONTINUE
    const auto flush = [&] {
        Record(stream, type, body);
        body.clear();
        type = 0x003C;
    };
    for (quint32 i = 0; i < unique; ++i) {
        const QString& text = strings.unique[i];
        const bool compressed = Compressible(text);
        const int charSize = compressed ? 1 : 2;
        if (body.size() + 3 + charSize > kMaxRecord) {
            flush();
        }
        if (i % perBucket == 0) {
            Put32(extsst, static_cast<quint32>(stream.size() + 4 + body.size()));
            Put16(extsst, static_cast<quint32>(4 + body.size()));
            Put16(extsst, 0);
        }
        Put16(body, static_cast<quint32>(text.size()));
        body.append(compressed ? '\0' : '\1');
        qsizetype done = 0;
        while (done < text.size()) {
            const qsizetype room = (kMaxRecord - body.size()) / charSize;
            if (room == 0) {
                flush();
                body.append(compressed ? '\0' : '\1');  // a continued string repeats its flags
                continue;
            }
            const qsizetype take = std::min(room, text.size() - done);
            AppendChars(body, text, done, take, compressed);
            done += take;
        }
    }
    flush();
    Record(stream, 0x00FF, extsst);
}

void WriteSheet(QByteArray& stream, const SheetData& sheet, bool first,
                const std::vector<quint32>& stringIndex) {
    Record(stream, 0x0809, Bof(0x0010));

    for (std::size_t c = 0; c < sheet.widths.size() && c < 256;) {
        std::size_t last = c;
        while (last + 1 < sheet.widths.size() && last + 1 < 256 &&
               sheet.widths[last + 1] == sheet.widths[c]) {
            ++last;
        }
        QByteArray colinfo;
        Put16(colinfo, static_cast<quint32>(c));
        Put16(colinfo, static_cast<quint32>(last));
        Put16(colinfo, static_cast<quint32>(std::clamp(sheet.widths[c], 0, 0xFFFF)));
        Put16(colinfo, kCellXf);
        Put16(colinfo, 0);
        Put16(colinfo, 0);
        Record(stream, 0x007D, colinfo);
        c = last + 1;
    }

    int firstRow = 0, lastRow = -1, firstCol = 256, lastCol = -1;
    for (const auto& cell : sheet.cells) {
        if (lastRow < 0)
            firstRow = cell.row - 1;
        lastRow = std::max(lastRow, cell.row - 1);
        firstCol = std::min(firstCol, cell.col - 1);
        lastCol = std::max(lastCol, cell.col - 1);
    }
    QByteArray dimensions;
    Put32(dimensions, lastRow < 0 ? 0 : static_cast<quint32>(firstRow));
    Put32(dimensions, static_cast<quint32>(lastRow + 1));
    Put16(dimensions, lastCol < 0 ? 0 : static_cast<quint32>(firstCol));
    Put16(dimensions, static_cast<quint32>(lastCol + 1));
    Put16(dimensions, 0);
    Record(stream, 0x0200, dimensions);

    // Blocks of up to 32 rows: their ROW records, then their cells.
    std::size_t next = 0;
    while (next < sheet.cells.size()) {
        const int blockStart = (sheet.cells[next].row - 1) / 32 * 32;
        std::size_t end = next;
        while (end < sheet.cells.size() && sheet.cells[end].row - 1 < blockStart + 32) {
            ++end;
        }
        for (std::size_t i = next; i < end;) {
            const int row = sheet.cells[i].row;
            std::size_t j = i;
            while (j < end && sheet.cells[j].row == row)
                ++j;
            FixedRecord<8>(
                stream, 0x0208,
                {static_cast<quint16>(row - 1), static_cast<quint16>(sheet.cells[i].col - 1),
                 static_cast<quint16>(sheet.cells[j - 1].col), 0x00FF, 0, 0, 0x0100, kCellXf});
            i = j;
        }
        for (std::size_t i = next; i < end; ++i) {
            const auto& cell = sheet.cells[i];
            const quint32 index = stringIndex[i];
            FixedRecord<5>(
                stream, 0x00FD,
                {static_cast<quint16>(cell.row - 1), static_cast<quint16>(cell.col - 1), kCellXf,
                 static_cast<quint16>(index & 0xFFFF), static_cast<quint16>(index >> 16)});
        }
        next = end;
    }

    QByteArray window2;
    Put16(window2, first ? 0x06B6 : 0x00B6);  // only the first sheet selected
    Put16(window2, 0);
    Put16(window2, 0);
    Put32(window2, 0x40);
    Put16(window2, 0);
    Put16(window2, 0);
    Put32(window2, 0);
    Record(stream, 0x023E, window2);
    Record(stream, 0x000A, {});
}

void InitGsf() {
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

QString ErrnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

QByteArray Biff8Workbook(const WorkbookData& data) {
    if (data.sheets.empty()) {
        throw XlsError("A workbook needs at least one sheet");
    }
    std::vector<std::vector<quint32>> stringIndex(data.sheets.size());
    qsizetype cellCount = 0;
    for (const SheetData& sheet : data.sheets) {
        cellCount += static_cast<qsizetype>(sheet.cells.size());
    }
    SharedStrings strings(static_cast<std::size_t>(cellCount));
    for (std::size_t s = 0; s < data.sheets.size(); ++s) {
        const SheetData& sheet = data.sheets[s];
        stringIndex[s].reserve(sheet.cells.size());
        for (const auto& cell : sheet.cells) {
            if (cell.row < 1 || cell.row > 65536 || cell.col < 1 || cell.col > 256 ||
                cell.text.isEmpty()) {
                throw XlsError("A cell lies outside the sheet or is empty");
            }
            ++strings.total;
            const QString text =
                cell.text.size() > kMaxCellText ? cell.text.left(kMaxCellText) : cell.text;
            stringIndex[s].push_back(strings.Intern(text));
        }
    }

    QByteArray stream;
    stream.reserve(cellCount * 14 + cellCount * 20 + 65536);
    Record(stream, 0x0809, Bof(0x0005));
    QByteArray codepage;
    Put16(codepage, 1200);  // UTF-16
    Record(stream, 0x0042, codepage);
    QByteArray window1;
    Put16(window1, 0);
    Put16(window1, 0);
    Put16(window1, 0x4000);
    Put16(window1, 0x2000);
    Put16(window1, 0x0038);
    Put16(window1, 0);
    Put16(window1, 0);
    Put16(window1, 1);
    Put16(window1, 0x0258);
    Record(stream, 0x003D, window1);
    QByteArray datemode;
    Put16(datemode, 0);
    Record(stream, 0x0022, datemode);
    for (int i = 0; i < 4; ++i) {
        Record(stream, 0x0031, Font());
    }
    for (int i = 0; i < 16; ++i) {
        Record(stream, 0x00E0, Xf(i < 15));
    }
    Record(stream, 0x0293, QByteArray("\x00\x80\x00\xFF", 4));  // built-in style Normal

    const std::vector<QString> names = SheetNames(data);
    std::vector<qsizetype> positions;
    for (const QString& name : names) {
        QByteArray boundsheet;
        positions.push_back(stream.size() + 4);
        Put32(boundsheet, 0);  // patched below
        Put16(boundsheet, 0);  // visible worksheet
        boundsheet.append(ShortString(name));
        Record(stream, 0x0085, boundsheet);
    }
    WriteSst(stream, strings);
    Record(stream, 0x000A, {});

    for (std::size_t i = 0; i < data.sheets.size(); ++i) {
        Patch32(stream, positions[i], static_cast<quint32>(stream.size()));
        WriteSheet(stream, data.sheets[i], i == 0, stringIndex[i]);
    }
    return stream;
}

void WriteXls(const WorkbookData& data, const QString& path) {
    InitGsf();
    const QByteArray stream = Biff8Workbook(data);
    const QFileInfo target(path);
    if (target.exists() && !(target.permissions() & QFileDevice::WriteOwner)) {
        throw XlsError(QStringLiteral("%1 is read-only").arg(path).toStdString());
    }
    if (target.isDir()) {
        throw XlsError(QStringLiteral("%1 is a folder").arg(path).toStdString());
    }

    QByteArray temp = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                        target.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        throw XlsError(QStringLiteral("Cannot write in %1: %2")
                           .arg(target.absolutePath(), ErrnoText())
                           .toStdString());
    }
    ::close(fd);
    const auto fail = [&](const QString& why) {
        ::unlink(temp.constData());
        throw XlsError(why.toStdString());
    };

    GError* error = nullptr;
    GsfOutput* sink = gsf_output_stdio_new(temp.constData(), &error);
    if (sink == nullptr) {
        const QString why = QString::fromUtf8(error ? error->message : "cannot create the file");
        if (error)
            g_error_free(error);
        fail(why);
    }
    GsfOutfile* ole = gsf_outfile_msole_new(sink);
    g_object_unref(sink);
    GsfOutput* workbook = gsf_outfile_new_child(ole, "Workbook", FALSE);
    const bool written = workbook != nullptr &&
                         gsf_output_write(workbook, static_cast<size_t>(stream.size()),
                                          reinterpret_cast<const guint8*>(stream.constData())) &&
                         gsf_output_close(workbook);
    if (workbook != nullptr)
        g_object_unref(workbook);
    const bool closed = gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    if (!written || !closed) {
        fail(QStringLiteral("Could not write %1").arg(path));
    }

    // On the disk before it replaces the previous file.
    const int sync = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
    if (sync < 0 || ::fsync(sync) != 0) {
        if (sync >= 0)
            ::close(sync);
        fail(QStringLiteral("Could not write %1: %2").arg(path, ErrnoText()));
    }
    ::close(sync);
    // mkstemp makes the file private: give it what the replaced file had, or the usual mode.
    struct stat previous {};
    if (::stat(QFile::encodeName(path).constData(), &previous) == 0) {
        ::chmod(temp.constData(), previous.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temp.constData(), 0666 & ~mask);
    }
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        fail(QStringLiteral("Could not replace %1: %2").arg(path, ErrnoText()));
    }
}

}  // namespace harvel
