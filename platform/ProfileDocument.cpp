#include "ProfileDocument.h"

#include "TextTrim.h"

#include <QHash>

namespace quvex {

namespace {

constexpr qsizetype maxValueLength = 2047; // what GetPrivateProfileString's 2048 buffer holds

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v';
}

QString trimBlanks(const QString& text) {
    return trimmedBy(text, isBlank);
}

// Names given by callers lose leading and trailing spaces only.
QString trimSpaces(const QString& text) {
    return trimmedBy(text, [](QChar c) { return c == u' '; });
}

QString unquote(const QString& value) {
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == u'"' || value.front() == u'\''))
        return value.mid(1, value.size() - 2);
    return value;
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// Splits at CR LF, LF or CR. Line ends are ASCII code units in every encoding quvex reads (the
// legacy code pages' trail bytes never take the values of CR or LF).
template <typename UnitAt>
void splitLines(QByteArrayView body, qsizetype unitSize, UnitAt unitAt, auto&& addLine) {
    qsizetype lineStart = 0;
    qsizetype pos = 0;
    const qsizetype usable = body.size() - body.size() % unitSize;
    while (pos < usable) {
        const char16_t unit = unitAt(pos);
        if (unit != u'\r' && unit != u'\n') {
            pos += unitSize;
            continue;
        }
        qsizetype endLength = unitSize;
        if (unit == u'\r' && pos + unitSize < usable && unitAt(pos + unitSize) == u'\n')
            endLength += unitSize;
        addLine(body.sliced(lineStart, pos - lineStart), body.sliced(pos, endLength));
        pos += endLength;
        lineStart = pos;
    }
    if (lineStart < body.size())
        addLine(body.sliced(lineStart), QByteArrayView());
}

} // namespace

ProfileDocument::Parsed ProfileDocument::parse(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    if (first == text.size() || text[first] == u';')
        return {};
    if (text[first] == u'[') {
        const qsizetype close = text.indexOf(u']', first + 1);
        const qsizetype length = close < 0 ? -1 : close - first - 1;
        return {Parsed::Kind::Header, trimBlanks(text.mid(first + 1, length)), {}, 0};
    }
    const qsizetype equals = text.indexOf(u'=', first);
    if (equals < 0)
        return {};
    qsizetype valueStart = equals + 1;
    while (valueStart < text.size() && isBlank(text[valueStart]))
        ++valueStart;
    return {Parsed::Kind::Entry, trimBlanks(text.mid(first, equals - first)),
            unquote(trimBlanks(text.mid(valueStart))), valueStart};
}

ProfileDocument::Line ProfileDocument::makeLine(QByteArray raw, QByteArray end, QString text) {
    Parsed parsed = parse(text);
    return {std::move(raw), std::move(end), std::move(text), std::move(parsed)};
}

ProfileDocument ProfileDocument::fromBytes(const QByteArray& bytes,
                                           const QByteArray& legacyEncoding) {
    ProfileDocument document;
    document.m_encoding = detectEncoding(bytes, legacyEncoding);
    document.m_bom = bytes.left(document.m_encoding.bomLength());
    const QByteArrayView body = QByteArrayView(bytes).sliced(document.m_bom.size());
    QStringDecoder decoder = document.m_encoding.decoder();
    auto addLine = [&](QByteArrayView raw, QByteArrayView end) {
        document.m_lines.push_back(makeLine(raw.toByteArray(), end.toByteArray(), decoder(raw)));
    };
    const auto* data = reinterpret_cast<const unsigned char*>(body.data());
    switch (document.m_encoding.kind) {
    case TextEncoding::Kind::Utf16LE:
        splitLines(
            body, 2, [&](qsizetype i) { return char16_t(data[i] | data[i + 1] << 8); }, addLine);
        break;
    case TextEncoding::Kind::Utf16BE:
        splitLines(
            body, 2, [&](qsizetype i) { return char16_t(data[i] << 8 | data[i + 1]); }, addLine);
        break;
    default:
        splitLines(
            body, 1, [&](qsizetype i) { return char16_t(data[i]); }, addLine);
        break;
    }
    return document;
}

QStringList ProfileDocument::sections() const {
    QStringList names;
    for (const Line& line : m_lines) {
        const Parsed& parsed = line.parsed;
        if (parsed.kind == Parsed::Kind::Header)
            names.append(parsed.name);
    }
    return names;
}

std::optional<qsizetype> ProfileDocument::findSection(const QString& name) const {
    const QString wanted = trimSpaces(name);
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        const Parsed& parsed = m_lines[i].parsed;
        if (parsed.kind == Parsed::Kind::Header && sameName(parsed.name, wanted))
            return i;
    }
    return std::nullopt;
}

qsizetype ProfileDocument::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < qsizetype(m_lines.size()) && m_lines[i].parsed.kind != Parsed::Kind::Header)
        ++i;
    return i;
}

QStringList ProfileDocument::keys(const QString& section) const {
    QStringList names;
    const std::optional<qsizetype> header = findSection(section);
    if (!header)
        return names;
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        const Parsed& parsed = m_lines[i].parsed;
        if (parsed.kind == Parsed::Kind::Entry)
            names.append(parsed.name);
    }
    return names;
}

std::optional<QString> ProfileDocument::value(const QString& section, const QString& key) const {
    const std::optional<qsizetype> header = findSection(section);
    if (!header)
        return std::nullopt;
    const QString wanted = trimSpaces(key);
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        const Parsed& parsed = m_lines[i].parsed;
        if (parsed.kind == Parsed::Kind::Entry && sameName(parsed.name, wanted))
            return parsed.value.left(maxValueLength);
    }
    return std::nullopt;
}

QList<std::pair<QString, QString>> ProfileDocument::entries(const QString& section) const {
    QList<std::pair<QString, QString>> result;
    const std::optional<qsizetype> header = findSection(section);
    if (!header)
        return result;
    QHash<QString, QString> firstValues;
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        const Parsed& parsed = m_lines[i].parsed;
        if (parsed.kind != Parsed::Kind::Entry)
            continue;
        const QString folded = parsed.name.toCaseFolded();
        const auto known = firstValues.constFind(folded);
        const QString value =
            known != firstValues.cend() ? *known : parsed.value.left(maxValueLength);
        if (known == firstValues.cend())
            firstValues.insert(folded, value);
        result.append({parsed.name, value});
    }
    return result;
}

std::optional<QString> ProfileDocument::refusalReason(const QString& section, const QString& key,
                                                      const QString& value) {
    const auto hasLineBreak = [](const QString& text) {
        return text.contains(u'\r') || text.contains(u'\n');
    };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return QStringLiteral("a name or value cannot contain a line break");
    if (section.contains(u']'))
        return QStringLiteral("a section name cannot contain \"]\"");
    if (key.contains(u'='))
        return QStringLiteral("a key name cannot contain \"=\"");
    if (trimSpaces(key).startsWith(u';'))
        return QStringLiteral("a key name cannot start with \";\"");
    return std::nullopt;
}

std::optional<QByteArray> ProfileDocument::encode(const QString& text) const {
    QStringEncoder encoder = m_encoding.encoder();
    QByteArray bytes = encoder(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

bool ProfileDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = trimSpaces(section);
    const QString keyName = trimSpaces(key);
    const std::optional<QByteArray> lineEnd = encode(QStringLiteral("\r\n"));
    const std::optional<QByteArray> valueBytes = encode(value);
    if (!lineEnd || !valueBytes)
        return false;

    const std::optional<qsizetype> header = findSection(sectionName);
    if (!header) {
        const std::optional<QByteArray> headerBytes = encode(u'[' + sectionName + u']');
        const std::optional<QByteArray> entryBytes = encode(keyName + u'=' + value);
        if (!headerBytes || !entryBytes)
            return false;
        if (!m_lines.empty() && m_lines.back().end.isEmpty())
            m_lines.back().end = *lineEnd;
        m_lines.push_back(makeLine(*headerBytes, *lineEnd, u'[' + sectionName + u']'));
        m_lines.push_back(makeLine(*entryBytes, *lineEnd, keyName + u'=' + value));
        return true;
    }

    qsizetype lastEntry = *header;
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        Line& line = m_lines[i];
        const Parsed& parsed = line.parsed;
        if (parsed.kind != Parsed::Kind::Entry)
            continue;
        if (sameName(parsed.name, keyName)) {
            const QString prefix = line.text.left(parsed.valueStart);
            const std::optional<QByteArray> prefixBytes = encode(prefix);
            if (!prefixBytes)
                return false;
            // Keep the key's own bytes where they round-trip, so undecodable bytes survive.
            const QByteArray keptPrefix = line.raw.startsWith(*prefixBytes)
                                              ? line.raw.left(prefixBytes->size())
                                              : *prefixBytes;
            line = makeLine(keptPrefix + *valueBytes, line.end, prefix + value);
            return true;
        }
        lastEntry = i;
    }

    const std::optional<QByteArray> entryBytes = encode(keyName + u'=' + value);
    if (!entryBytes)
        return false;
    if (m_lines[lastEntry].end.isEmpty())
        m_lines[lastEntry].end = *lineEnd;
    m_lines.insert(m_lines.begin() + lastEntry + 1,
                   makeLine(*entryBytes, *lineEnd, keyName + u'=' + value));
    return true;
}

QByteArray ProfileDocument::toBytes() const {
    QByteArray bytes = m_bom;
    for (const Line& line : m_lines)
        bytes += line.raw + line.end;
    return bytes;
}

} // namespace quvex
