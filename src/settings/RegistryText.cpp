#include "settings/RegistryText.h"

#include <QStringList>

namespace harvel {
namespace {

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER");
const QByteArray kHeader = "Windows Registry Editor Version 5.00";

// A quoted text starting at `pos` (at the opening quote); advances past the closing one.
std::optional<QString> ReadQuoted(const QString& line, qsizetype& pos) {
    if (pos >= line.size() || line[pos] != u'"') {
        return std::nullopt;
    }
    QString text;
    for (++pos; pos < line.size(); ++pos) {
        const QChar ch = line[pos];
        if (ch == u'\\') {
            if (++pos >= line.size()) {
                return std::nullopt;
            }
            text += line[pos];
        } else if (ch == u'"') {
            ++pos;
            return text;
        } else {
            text += ch;
        }
    }
    return std::nullopt;
}

std::optional<QVariant> ReadData(const QString& data) {
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        const auto text = ReadQuoted(data, pos);
        if (!text || pos != data.size()) {
            return std::nullopt;
        }
        return QVariant(*text);
    }
    if (data.startsWith(QLatin1String("dword:"))) {
        const QString digits = data.mid(6);
        bool ok = false;
        const uint value = digits.toUInt(&ok, 16);
        if (!ok || digits.size() != 8) {
            return std::nullopt;
        }
        return QVariant(static_cast<int>(value));
    }
    if (data.startsWith(QLatin1String("hex(2):"))) {
        QByteArray bytes;
        const QString list = data.mid(7);
        if (!list.isEmpty()) {
            for (const QString& part : list.split(u',')) {
                bool ok = false;
                const uint byte = part.trimmed().toUInt(&ok, 16);
                if (!ok || byte > 255) {
                    return std::nullopt;
                }
                bytes += static_cast<char>(byte);
            }
        }
        if (bytes.size() % 2 != 0) {
            return std::nullopt;
        }
        QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                          bytes.size() / 2);
        while (text.endsWith(QChar(u'\0'))) {
            text.chop(1);
        }
        return QVariant(text);
    }
    return std::nullopt;
}

QString Quote(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (const QChar ch : text) {
        if (ch == u'\\' || ch == u'"') {
            quoted += u'\\';
        }
        quoted += ch;
    }
    quoted += u'"';
    return quoted;
}

}  // namespace

std::optional<RegistryValues> ParseRegistryText(const QByteArray& bytes) {
    RegistryValues values;
    QString section;
    bool inSection = false;
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed == QLatin1String(kHeader)) {
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            if (!trimmed.endsWith(u']')) {
                return std::nullopt;
            }
            const QString path = trimmed.mid(1, trimmed.size() - 2);
            if (path.compare(kRoot, Qt::CaseInsensitive) == 0) {
                section.clear();
            } else if (path.startsWith(kRoot + u'\\', Qt::CaseInsensitive)) {
                section = path.mid(kRoot.size() + 1);
                section.replace(u'\\', u'/');
            } else {
                return std::nullopt;  // another hive: not ours
            }
            inSection = true;
            continue;
        }
        if (!inSection) {
            return std::nullopt;
        }
        qsizetype pos = 0;
        const auto name = ReadQuoted(trimmed, pos);
        if (!name || name->isEmpty() || name->contains(u'/') || pos >= trimmed.size() ||
            trimmed[pos] != u'=') {
            return std::nullopt;
        }
        const auto data = ReadData(trimmed.mid(pos + 1));
        if (!data) {
            return std::nullopt;
        }
        values.insert(section.isEmpty() ? *name : section + u'/' + *name, *data);
    }
    return values;
}

QByteArray FormatRegistryText(const RegistryValues& values) {
    // Group by section; QMap keeps keys sorted, so a section's values stand together
    // unless a subsection's key sorts between them: collect per section first.
    QMap<QString, QStringList> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString name = it.key().mid(slash + 1);
        const QVariant& value = it.value();
        QString data;
        const int type = value.typeId();
        if (type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::Bool ||
            type == QMetaType::LongLong || type == QMetaType::ULongLong) {
            data = QStringLiteral("dword:%1")
                       .arg(static_cast<uint>(value.toInt()), 8, 16, QLatin1Char('0'));
        } else {
            data = Quote(value.toString());
        }
        sections[section].append(Quote(name) + u'=' + data);
    }
    QString out = QLatin1String(kHeader) + QStringLiteral("\n");
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        QString path = kRoot;
        if (!it.key().isEmpty()) {
            path += u'\\' + QString(it.key()).replace(u'/', u'\\');
        }
        out += QStringLiteral("\n[") + path + QStringLiteral("]\n");
        for (const QString& line : it.value()) {
            out += line + u'\n';
        }
    }
    return out.toUtf8();
}

}  // namespace harvel
