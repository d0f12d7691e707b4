#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

#include <optional>

namespace quvex {

// How a text file is encoded, as far as quvex reads and rewrites it. Text is decoded line by
// line (lines end at CR, LF or CR LF, which are ASCII code units in every encoding here), and
// no line's reading depends on another line.
struct TextEncoding {
    enum class Kind {
        Utf8Bom,
        Utf16LE,
        Utf16BE,
        Utf8,
        Legacy, // the legacy code page throughout
        Mixed,  // UTF-8 lines with a few lines in the legacy code page (a Windows client wrote
                // into a UTF-8 file): each line reads in its own encoding, new text is UTF-8
    };
    Kind kind = Kind::Legacy;
    QByteArray legacyName; // the legacy code page

    qsizetype bomLength() const;
    qsizetype unitSize() const; // bytes per code unit: 2 for UTF-16, else 1

    // The text of one line, given without its line end.
    QString decodeLine(QByteArrayView line) const;

    // The bytes of text this writer adds to the file; nothing when the text does not come back
    // unchanged from them (a code page that cannot hold a character, a lone surrogate).
    std::optional<QByteArray> encode(const QString& text) const;
};

// Decodes the lines of one file one after another, each exactly as decodeLine decodes it alone,
// with one converter for the whole file and one buffer that grows to the longest line.
class LineDecoder {
public:
    explicit LineDecoder(const TextEncoding& encoding);

    // The line's text; valid until the next call.
    QStringView decode(QByteArrayView line);

private:
    QStringView convert(QStringDecoder& decoder, QByteArrayView line, bool endWithLineEnd);

    TextEncoding::Kind m_kind;
    QStringDecoder m_unicode; // the file's own UTF: UTF-8 for Mixed and the UTF-8 kinds
    QStringDecoder m_latin1;
    QStringDecoder m_legacy; // only for Legacy and Mixed
    QByteArray m_terminated; // a code page line with the line end the converter needs
    QString m_buffer;
};

// BOM first (UTF-16LE, UTF-16BE, UTF-8). Without one: UTF-8 when every non-ASCII line is valid
// UTF-8; the legacy code page when none is, or when the lines that are valid UTF-8 hold at most
// as many non-ASCII bytes as the others (short legacy text is often valid UTF-8 by chance);
// otherwise Mixed.
TextEncoding detectEncoding(QByteArrayView bytes, const QByteArray& legacyName);

// Calls addLine(line, lineEnd) for every line of body (the file without its BOM) in order; the
// last line's end is empty when the file does not end with one. A stray last byte of a UTF-16
// file (odd length) belongs to no line: it is returned, and kept after everything else.
template <typename AddLine>
QByteArrayView splitLines(QByteArrayView body, qsizetype unitSize, bool bigEndian,
                          AddLine&& addLine) {
    const auto* data = reinterpret_cast<const unsigned char*>(body.data());
    const qsizetype usable = body.size() - body.size() % unitSize;
    const auto unitAt = [&](qsizetype i) -> char16_t {
        if (unitSize == 1)
            return data[i];
        return bigEndian ? char16_t(data[i] << 8 | data[i + 1])
                         : char16_t(data[i] | data[i + 1] << 8);
    };
    qsizetype lineStart = 0;
    qsizetype pos = 0;
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
    if (lineStart < usable)
        addLine(body.sliced(lineStart, usable - lineStart), QByteArrayView());
    return body.sliced(usable);
}

// The whole file's text without its BOM, decoded line by line, line ends kept.
QString decodeText(const QByteArray& bytes, const QByteArray& legacyName);

} // namespace quvex
