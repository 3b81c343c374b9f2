#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstring>

#include "platform/XlsFile.h"

namespace harvel {
namespace {

constexpr quint32 kMagic = 0x48585231;  // "HXR1"

QString HelperPath() {
    const QString name = QStringLiteral("harvel-xlsread");
    if (QCoreApplication::instance() != nullptr) {
        const QString beside = QCoreApplication::applicationDirPath() + u'/' + name;
        if (QFileInfo(beside).isExecutable()) {
            return beside;
        }
    }
    const QString built = QStringLiteral(HARVEL_HELPER_DIR) + u'/' + name;
    return QFileInfo(built).isExecutable() ? built : QStringLiteral(HARVEL_INSTALLED_HELPER);
}

}  // namespace

// Little-endian words and raw UTF-16 texts: a full table passes in a few milliseconds.
namespace {

void Put(QByteArray& out, quint32 value) {
    out.append(reinterpret_cast<const char*>(&value), 4);
}

constexpr quint32 kLatin1 = 1u << 31;

// A text of 8-bit characters (nearly every cell) goes as its bytes, others as UTF-16.
void PutText(QByteArray& out, const QString& text) {
    const bool narrow =
        std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 256; });
    if (narrow) {
        Put(out, static_cast<quint32>(text.size()) | kLatin1);
        const qsizetype at = out.size();
        out.resize(at + text.size());
        char* bytes = out.data() + at;
        for (qsizetype i = 0; i < text.size(); ++i) {
            bytes[i] = static_cast<char>(text.at(i).unicode());
        }
        return;
    }
    Put(out, static_cast<quint32>(text.size()));
    out.append(reinterpret_cast<const char*>(text.constData()), text.size() * 2);
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : m_bytes(bytes) {}
    quint32 Word() {
        Need(4);
        quint32 value = 0;
        std::memcpy(&value, m_bytes.constData() + m_pos, 4);
        m_pos += 4;
        return value;
    }
    QString Text() {
        const quint32 word = Word();
        const quint32 size = word & ~kLatin1;
        if (size > 1u << 20) {
            Bad();
        }
        if ((word & kLatin1) != 0) {
            Need(static_cast<qsizetype>(size));
            QString text =
                QString::fromLatin1(m_bytes.constData() + m_pos, static_cast<qsizetype>(size));
            m_pos += static_cast<qsizetype>(size);
            return text;
        }
        Need(static_cast<qsizetype>(size) * 2);
        QString text(reinterpret_cast<const QChar*>(m_bytes.constData() + m_pos),
                     static_cast<qsizetype>(size));
        m_pos += static_cast<qsizetype>(size) * 2;
        return text;
    }
    [[nodiscard]] bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    void Need(qsizetype count) const {
        if (count < 0 || m_bytes.size() - m_pos < count) {
            Bad();
        }
    }
    [[noreturn]] static void Bad() { throw XlsError("The workbook reader gave no usable answer"); }

    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

}  // namespace

QByteArray EncodeWorkbook(const WorkbookData& data, int fileType) {
    QByteArray bytes;
    Put(bytes, kMagic);
    Put(bytes, static_cast<quint32>(fileType));
    Put(bytes, static_cast<quint32>(data.sheets.size()));
    for (const SheetData& sheet : data.sheets) {
        PutText(bytes, sheet.name);
        Put(bytes, static_cast<quint32>(sheet.cells.size()));
        for (const auto& cell : sheet.cells) {
            Put(bytes, static_cast<quint32>(cell.row));
            Put(bytes, static_cast<quint32>(cell.col));
            PutText(bytes, cell.text);
        }
    }
    return bytes;
}

WorkbookData DecodeWorkbook(const QByteArray& bytes, int* fileType) {
    Reader in(bytes);
    if (in.Word() != kMagic) {
        throw XlsError("The workbook reader gave no usable answer");
    }
    const auto type = static_cast<int>(in.Word());
    const quint32 sheets = in.Word();
    if (sheets == 0 || sheets > 65535) {
        throw XlsError("The workbook reader gave no usable answer");
    }
    WorkbookData data;
    for (quint32 s = 0; s < sheets; ++s) {
        SheetData sheet;
        sheet.name = in.Text();
        const quint32 cells = in.Word();
        if (cells > 65536u * 256u) {
            throw XlsError("The workbook reader gave no usable answer");
        }
        sheet.cells.reserve(std::min<quint32>(cells, 1u << 20));
        for (quint32 c = 0; c < cells; ++c) {
            const auto row = static_cast<int>(in.Word());
            const auto col = static_cast<int>(in.Word());
            QString text = in.Text();
            if (row >= 1 && row <= 65536 && col >= 1 && col <= 256 && !text.isEmpty()) {
                sheet.cells.push_back({row, col, std::move(text)});
            }
        }
        data.sheets.push_back(std::move(sheet));
    }
    if (!in.AtEnd()) {
        throw XlsError("The workbook reader gave no usable answer");
    }
    if (fileType != nullptr) {
        *fileType = type;
    }
    return data;
}

WorkbookData ReadXls(const QString& path, int* fileType) {
    if (fileType != nullptr) {
        *fileType = kFileTypeUnreadable;
    }
    if (!QFileInfo(path).isFile()) {
        throw XlsError(
            QStringLiteral("%1 is not a readable workbook (no such file)").arg(path).toStdString());
    }
    QProcess helper;
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.start(HelperPath(), {QFileInfo(path).absoluteFilePath()});
    if (!helper.waitForStarted(10000)) {
        throw XlsError("The workbook reader harvel-xlsread could not be started");
    }
    QByteArray answer;
    // Read while it writes, so a full table never stalls it on a full pipe.
    while (helper.state() != QProcess::NotRunning) {
        if (!helper.waitForReadyRead(60000) && helper.state() != QProcess::NotRunning) {
            helper.kill();
            helper.waitForFinished();
            throw XlsError(QStringLiteral("Reading %1 took too long").arg(path).toStdString());
        }
        answer += helper.readAllStandardOutput();
    }
    answer += helper.readAllStandardOutput();
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0) {
        const QString why = QString::fromUtf8(helper.readAllStandardError()).trimmed();
        throw XlsError(
            (why.isEmpty() ? QStringLiteral("%1 is not a readable workbook").arg(path) : why)
                .toStdString());
    }
    return DecodeWorkbook(answer, fileType);
}

}  // namespace harvel
