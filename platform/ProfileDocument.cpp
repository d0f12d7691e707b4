#include "ProfileDocument.h"

#include "TextTrim.h"

#include <QHash>

#include <algorithm>

namespace quvex {

namespace {

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

// One comparison form for every lookup, so sections, keys and the one-pass reading agree.
QString foldName(const QString& name) {
    return name.toCaseFolded();
}

// The value as a read returns it.
QString readBack(const QString& value) {
    return unquote(trimBlanks(value)).left(ProfileDocument::maxValueLength);
}

} // namespace

ProfileDocument::Parsed ProfileDocument::parse(QStringView text) {
    // Bounds first and one copy per field: this runs for every line of every read.
    const qsizetype size = text.size();
    const auto blanksFrom = [&](qsizetype i) {
        while (i < size && isBlank(text[i]))
            ++i;
        return i;
    };
    const auto blanksBefore = [&](qsizetype begin, qsizetype end) {
        while (end > begin && isBlank(text[end - 1]))
            --end;
        return end;
    };
    const qsizetype first = blanksFrom(0);
    if (first == size || text[first] == u';')
        return {};
    if (text[first] == u'[') {
        const qsizetype close = text.indexOf(u']', first + 1);
        const qsizetype begin = blanksFrom(first + 1);
        const qsizetype end = blanksBefore(begin, close < 0 ? size : close);
        QString name = text.sliced(begin, end - begin).toString();
        QString folded = foldName(name);
        return {Parsed::Kind::Header, std::move(name), std::move(folded), {}, 0};
    }
    const qsizetype equals = text.indexOf(u'=', first);
    if (equals < 0)
        return {};
    const qsizetype valueStart = blanksFrom(equals + 1);
    const qsizetype nameEnd = blanksBefore(first, equals);
    qsizetype valueBegin = valueStart;
    qsizetype valueEnd = blanksBefore(valueStart, size);
    if (valueEnd - valueBegin >= 2 && text[valueBegin] == text[valueEnd - 1] &&
        (text[valueBegin] == u'"' || text[valueBegin] == u'\'')) {
        ++valueBegin;
        --valueEnd;
    }
    QString name = text.sliced(first, nameEnd - first).toString();
    QString folded = foldName(name);
    return {Parsed::Kind::Entry, std::move(name), std::move(folded),
            text.sliced(valueBegin, valueEnd - valueBegin).toString(), valueStart};
}

ProfileDocument::Line ProfileDocument::makeLine(QByteArray raw, QByteArray end, QString text) {
    Parsed parsed = parse(text);
    return {std::move(raw), std::move(end), std::move(text), std::move(parsed)};
}

ProfileDocument ProfileDocument::fromBytes(QByteArrayView bytes, const QByteArray& legacyEncoding) {
    ProfileDocument document;
    document.m_encoding = detectEncoding(bytes, legacyEncoding);
    const TextEncoding& encoding = document.m_encoding;
    document.m_bom = bytes.first(encoding.bomLength()).toByteArray();
    const QByteArrayView body = bytes.sliced(document.m_bom.size());
    // The line ends of 8-bit files are shared, not copied for every line.
    static const QByteArray crlf("\r\n"), lf("\n"), cr("\r");
    const auto endBytes = [&](QByteArrayView end) {
        if (end == QByteArrayView(crlf))
            return crlf;
        if (end == QByteArrayView(lf))
            return lf;
        if (end == QByteArrayView(cr))
            return cr;
        return end.toByteArray();
    };
    LineDecoder decoder(encoding);
    document.m_strayTail =
        splitLines(body, encoding.unitSize(), encoding.kind == TextEncoding::Kind::Utf16BE,
                   [&](QByteArrayView raw, QByteArrayView end) {
                       document.m_lines.push_back(makeLine(raw.toByteArray(), endBytes(end),
                                                           decoder.decode(raw).toString()));
                   })
            .toByteArray();
    return document;
}

QStringList ProfileDocument::sections() const {
    QStringList names;
    for (const Line& line : m_lines) {
        if (line.parsed.kind == Parsed::Kind::Header)
            names.append(line.parsed.name);
    }
    return names;
}

std::optional<qsizetype> ProfileDocument::findSection(const QString& folded) const {
    for (qsizetype i = 0; i < qsizetype(m_lines.size()); ++i) {
        const Parsed& parsed = m_lines[i].parsed;
        if (parsed.kind == Parsed::Kind::Header && parsed.folded == folded)
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
    const std::optional<qsizetype> header = findSection(foldName(trimSpaces(section)));
    if (!header)
        return names;
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        if (m_lines[i].parsed.kind == Parsed::Kind::Entry)
            names.append(m_lines[i].parsed.name);
    }
    return names;
}

std::optional<QString> ProfileDocument::value(const QString& section, const QString& key) const {
    const std::optional<qsizetype> header = findSection(foldName(trimSpaces(section)));
    if (!header)
        return std::nullopt;
    const QString wanted = foldName(trimSpaces(key));
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        const Parsed& parsed = m_lines[i].parsed;
        if (parsed.kind == Parsed::Kind::Entry && parsed.folded == wanted)
            return parsed.value.left(maxValueLength);
    }
    return std::nullopt;
}

// Gathers the sections of parsed lines as lookups see them: the entries of the first section of
// each name, with the first value of each key; a later header of the same name shows them again,
// as a lookup by its name finds the first.
class ProfileDocument::SectionReader {
public:
    void add(Parsed&& parsed) {
        if (parsed.kind == Parsed::Kind::Header) {
            const auto known = m_firstOfName.constFind(parsed.folded);
            if (known != m_firstOfName.cend()) {
                m_headers.append({std::move(parsed.name), *known});
                m_filling = -1;
                return;
            }
            m_filling = m_distinct.size();
            m_firstOfName.insert(std::move(parsed.folded), m_filling);
            m_headers.append({parsed.name, m_filling});
            m_distinct.append({std::move(parsed.name), {}});
        } else if (parsed.kind == Parsed::Kind::Entry && m_filling >= 0) {
            auto& entries = m_distinct[m_filling].entries;
            Place& first = m_firstKeys[std::move(parsed.folded)];
            if (first.section == m_filling) {
                entries.append({std::move(parsed.name), entries[first.entry].second});
                return;
            }
            first = {m_filling, entries.size()};
            parsed.value.truncate(maxValueLength);
            entries.append({std::move(parsed.name), std::move(parsed.value)});
        }
    }

    QList<ProfileSection> take() {
        if (m_headers.size() == m_distinct.size())
            return std::move(m_distinct); // no name came twice
        QList<ProfileSection> all;
        all.reserve(m_headers.size());
        for (auto& [name, distinct] : m_headers)
            all.append({std::move(name), m_distinct[distinct].entries});
        return all;
    }

private:
    QHash<QString, qsizetype> m_firstOfName;
    QList<ProfileSection> m_distinct;
    struct Place {
        qsizetype section = -1;
        qsizetype entry = -1;
    };
    QList<std::pair<QString, qsizetype>> m_headers; // every header with its entry in m_distinct
    // Where each key was last met first in its section; one table for the whole file, as a new
    // table for every section costs more than the section for the many short ones.
    QHash<QString, Place> m_firstKeys;
    qsizetype m_filling = -1;
};

QList<ProfileSection> ProfileDocument::readSections(QByteArrayView bytes,
                                                    const QByteArray& legacyEncoding) {
    const TextEncoding encoding = detectEncoding(bytes, legacyEncoding);
    LineDecoder decoder(encoding);
    SectionReader reader;
    splitLines(bytes.sliced(encoding.bomLength()), encoding.unitSize(),
               encoding.kind == TextEncoding::Kind::Utf16BE,
               [&](QByteArrayView raw, QByteArrayView) { reader.add(parse(decoder.decode(raw))); });
    return reader.take();
}

std::optional<QString> ProfileDocument::refusalReason(const QString& section, const QString& key,
                                                      const QString& value) {
    const auto hasLineBreak = [](const QString& text) {
        return text.contains(u'\r') || text.contains(u'\n');
    };
    // What the reader would trim off a name the caller gave (the caller's spaces aside).
    const auto hasOuterBlank = [](const QString& name) {
        const QString given = trimSpaces(name);
        return trimBlanks(given) != given;
    };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return QStringLiteral("名称和值不能包含换行符");
    if (section.contains(u']'))
        return QStringLiteral("节名不能包含“]”");
    if (key.contains(u'='))
        return QStringLiteral("键名不能包含“=”");
    if (hasOuterBlank(section) || hasOuterBlank(key))
        return QStringLiteral("名称的开头和结尾不能是空白字符");
    if (trimSpaces(key).startsWith(u';') || trimSpaces(key).startsWith(u'['))
        return QStringLiteral("键名不能以“;”或“[”开头");
    if (unquote(trimBlanks(value)).size() > maxValueLength)
        return QStringLiteral("值不能超过 %1 个字符").arg(maxValueLength);
    return std::nullopt;
}

qsizetype ProfileDocument::rawValueStart(const QByteArray& raw) const {
    // "=" and the blanks are ASCII code units in every encoding read here, and no multi-byte
    // character of the code pages contains their byte values.
    const qsizetype unit = m_encoding.unitSize();
    const bool bigEndian = m_encoding.kind == TextEncoding::Kind::Utf16BE;
    const auto unitAt = [&](qsizetype i) -> char16_t {
        const auto* d = reinterpret_cast<const unsigned char*>(raw.constData());
        if (unit == 1)
            return d[i];
        return bigEndian ? char16_t(d[i] << 8 | d[i + 1]) : char16_t(d[i] | d[i + 1] << 8);
    };
    qsizetype i = 0;
    while (i + unit <= raw.size() && unitAt(i) != u'=')
        i += unit;
    i += unit;
    while (i + unit <= raw.size() && isBlank(QChar(unitAt(i))))
        i += unit;
    return std::min(i, raw.size());
}

std::optional<std::vector<qsizetype>> ProfileDocument::applyEdit(const QString& section,
                                                                 const QString& key,
                                                                 const QString& value,
                                                                 const TextEncoding& textEncoding) {
    const QString sectionName = trimSpaces(section);
    const QString keyName = trimSpaces(key);
    const std::optional<QByteArray> lineEnd = m_encoding.encode(QStringLiteral("\r\n"));
    const std::optional<QByteArray> valueBytes = textEncoding.encode(value);
    if (!lineEnd || !valueBytes)
        return std::nullopt;
    const auto newLine = [&](const QString& text) -> std::optional<Line> {
        const std::optional<QByteArray> bytes = textEncoding.encode(text);
        if (!bytes)
            return std::nullopt;
        return makeLine(*bytes, *lineEnd, text);
    };
    const auto endLineAt = [&](qsizetype index) {
        if (m_lines[index].end.isEmpty())
            m_lines[index].end = *lineEnd;
    };

    const std::optional<qsizetype> header = findSection(foldName(sectionName));
    if (!header) {
        std::optional<Line> headerLine = newLine(u'[' + sectionName + u']');
        std::optional<Line> entryLine = newLine(keyName + u'=' + value);
        if (!headerLine || !entryLine)
            return std::nullopt;
        if (!m_lines.empty())
            endLineAt(qsizetype(m_lines.size()) - 1);
        m_lines.push_back(std::move(*headerLine));
        m_lines.push_back(std::move(*entryLine));
        return std::vector<qsizetype>{qsizetype(m_lines.size()) - 2, qsizetype(m_lines.size()) - 1};
    }

    const QString wanted = foldName(keyName);
    qsizetype lastEntry = *header;
    for (qsizetype i = *header + 1, end = sectionEnd(*header); i < end; ++i) {
        Line& line = m_lines[i];
        if (line.parsed.kind != Parsed::Kind::Entry)
            continue;
        if (line.parsed.folded == wanted) {
            const QString prefix = line.text.left(line.parsed.valueStart);
            // The key's own bytes stay, whatever they are (even bytes no encoding decodes).
            const QByteArray keptPrefix = line.raw.left(rawValueStart(line.raw));
            line = makeLine(keptPrefix + *valueBytes, line.end, prefix + value);
            endLineAt(i);
            return std::vector<qsizetype>{i};
        }
        lastEntry = i;
    }
    std::optional<Line> entryLine = newLine(keyName + u'=' + value);
    if (!entryLine)
        return std::nullopt;
    endLineAt(lastEntry);
    m_lines.insert(m_lines.begin() + lastEntry + 1, std::move(*entryLine));
    return std::vector<qsizetype>{lastEntry + 1};
}

std::optional<QString> ProfileDocument::setValue(const QString& section, const QString& key,
                                                 const QString& value) {
    if (const auto reason = refusalReason(section, key, value))
        return reason;
    // New text goes in the file's encoding. A file of UTF-8 and legacy lines takes it in the
    // legacy code page where UTF-8 would not read back (a value after a key in the code page).
    using Kind = TextEncoding::Kind;
    QList<TextEncoding> candidates{m_encoding};
    if (m_encoding.kind == Kind::Mixed)
        candidates.append({Kind::Legacy, m_encoding.legacyName});

    QString failure = QStringLiteral("文件的编码无法保存这些文字");
    for (const TextEncoding& candidate : candidates) {
        ProfileDocument edited = *this;
        const std::optional<std::vector<qsizetype>> written =
            edited.applyEdit(section, key, value, candidate);
        if (!written)
            continue;
        // The property, checked on the bytes: lines decode on their own, so every untouched line
        // reads as before exactly when the file is still taken for the same encoding, and the
        // written lines must decode to what they were meant to say.
        const bool sameEncoding =
            detectEncoding(edited.toBytes(), m_encoding.legacyName).kind == m_encoding.kind;
        const bool writtenAsMeant = std::all_of(written->begin(), written->end(), [&](qsizetype i) {
            return m_encoding.decodeLine(edited.m_lines[i].raw) == edited.m_lines[i].text;
        });
        if (!sameEncoding || !writtenAsMeant || edited.value(section, key) != readBack(value)) {
            failure = QStringLiteral("写入后文件无法按原样读出（编码会被误认）");
            continue;
        }
        *this = std::move(edited);
        return std::nullopt;
    }
    return failure;
}

QByteArray ProfileDocument::toBytes() const {
    qsizetype size = m_bom.size() + m_strayTail.size();
    for (const Line& line : m_lines)
        size += line.raw.size() + line.end.size();
    QByteArray bytes;
    bytes.reserve(size);
    bytes += m_bom;
    for (const Line& line : m_lines) {
        bytes += line.raw;
        bytes += line.end;
    }
    bytes += m_strayTail;
    return bytes;
}

} // namespace quvex
