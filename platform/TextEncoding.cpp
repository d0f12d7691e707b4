#include "TextEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace quvex {

namespace {

constexpr auto keepBom =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A legacy code page that this build cannot convert is read and written as Latin-1, which keeps
// every byte.
QStringDecoder legacyDecoder(const QByteArray& name) {
    QStringDecoder decoder(name.constData(), QStringConverter::Flag::Stateless);
    return decoder.isValid()
               ? std::move(decoder)
               : QStringDecoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
}

QStringEncoder legacyEncoder(const QByteArray& name) {
    QStringEncoder encoder(name.constData(), QStringConverter::Flag::Stateless);
    return encoder.isValid()
               ? std::move(encoder)
               : QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
}

} // namespace

qsizetype TextEncoding::bomLength() const {
    switch (kind) {
    case Kind::Utf8Bom:
        return 3;
    case Kind::Utf16LE:
    case Kind::Utf16BE:
        return 2;
    default:
        return 0;
    }
}

qsizetype TextEncoding::unitSize() const {
    return kind == Kind::Utf16LE || kind == Kind::Utf16BE ? 2 : 1;
}

QString TextEncoding::decodeLine(QByteArrayView line) const {
    return LineDecoder(*this).decode(line).toString();
}

std::optional<QByteArray> TextEncoding::encode(const QString& text) const {
    QByteArray bytes;
    bool failed = false;
    switch (kind) {
    case Kind::Utf16LE:
    case Kind::Utf16BE: {
        QStringEncoder encoder(kind == Kind::Utf16LE ? QStringConverter::Utf16LE
                                                     : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        bytes = encoder(text);
        failed = encoder.hasError();
        break;
    }
    case Kind::Utf8Bom:
    case Kind::Utf8:
    case Kind::Mixed: {
        QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        bytes = encoder(text);
        failed = encoder.hasError();
        break;
    }
    case Kind::Legacy: {
        QStringEncoder encoder = legacyEncoder(legacyName);
        bytes = encoder(text);
        failed = encoder.hasError();
        break;
    }
    }
    // Some encoders put "?" for what they cannot hold and say nothing: only a round trip tells.
    if (failed || decodeLine(bytes) != text)
        return std::nullopt;
    return bytes;
}

LineDecoder::LineDecoder(const TextEncoding& encoding)
    : m_kind(encoding.kind)
    , m_latin1(QStringConverter::Latin1, QStringConverter::Flag::Stateless) {
    // The file's BOM is gone by now: a U+FEFF that starts a line is text and must stay.
    using Kind = TextEncoding::Kind;
    const QStringConverter::Encoding unicode = m_kind == Kind::Utf16LE   ? QStringConverter::Utf16LE
                                               : m_kind == Kind::Utf16BE ? QStringConverter::Utf16BE
                                                                         : QStringConverter::Utf8;
    m_unicode = QStringDecoder(unicode, keepBom);
    if (m_kind == Kind::Legacy || m_kind == Kind::Mixed)
        m_legacy = legacyDecoder(encoding.legacyName);
}

QStringView LineDecoder::convert(QStringDecoder& decoder, QByteArrayView line,
                                 bool endWithLineEnd) {
    // The code page converters keep an unfinished character from one call to the next, even when
    // asked not to; a line end after the line finishes it, and is dropped again.
    if (endWithLineEnd) {
        m_terminated.resize(0); // keeps the capacity
        m_terminated.append(line.data(), line.size()).append('\n');
        line = m_terminated;
    }
    const qsizetype space = decoder.requiredSpace(line.size());
    if (m_buffer.size() < space)
        m_buffer.resize(space);
    // As a new converter would: nothing of the previous line carries over.
    decoder.resetState();
    QChar* const begin = m_buffer.data();
    QChar* const end = decoder.appendToBuffer(begin, line);
    return QStringView(begin, endWithLineEnd && end > begin ? end - 1 : end);
}

QStringView LineDecoder::decode(QByteArrayView line) {
    using Kind = TextEncoding::Kind;
    switch (m_kind) {
    case Kind::Utf16LE:
    case Kind::Utf16BE:
    case Kind::Utf8Bom:
    case Kind::Utf8:
        return convert(m_unicode, line, false);
    case Kind::Mixed:
        if (line.isValidUtf8())
            return convert(m_unicode, line, false);
        return convert(m_legacy, line, true);
    case Kind::Legacy:
        if (isAscii(line))
            return convert(m_latin1, line, false);
        return convert(m_legacy, line, true);
    }
    return {};
}

TextEncoding detectEncoding(QByteArrayView bytes, const QByteArray& legacyName) {
    using Kind = TextEncoding::Kind;
    if (bytes.startsWith("\xFF\xFE"))
        return {Kind::Utf16LE, legacyName};
    if (bytes.startsWith("\xFE\xFF"))
        return {Kind::Utf16BE, legacyName};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {Kind::Utf8Bom, legacyName};
    if (isAscii(bytes))
        return {Kind::Legacy, legacyName};
    if (bytes.isValidUtf8())
        return {Kind::Utf8, legacyName};
    qsizetype utf8Bytes = 0;
    qsizetype otherBytes = 0;
    splitLines(bytes, 1, false, [&](QByteArrayView line, QByteArrayView) {
        const auto nonAscii = std::count_if(
            line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        (line.isValidUtf8() ? utf8Bytes : otherBytes) += nonAscii;
    });
    return {utf8Bytes > otherBytes ? Kind::Mixed : Kind::Legacy, legacyName};
}

QString decodeText(const QByteArray& bytes, const QByteArray& legacyName) {
    const TextEncoding encoding = detectEncoding(bytes, legacyName);
    const QByteArrayView body = QByteArrayView(bytes).sliced(encoding.bomLength());
    LineDecoder decoder(encoding);
    QString text;
    text.reserve(body.size() / encoding.unitSize());
    splitLines(body, encoding.unitSize(), encoding.kind == TextEncoding::Kind::Utf16BE,
               [&](QByteArrayView line, QByteArrayView end) {
                   text += decoder.decode(line);
                   text += decoder.decode(end);
               });
    return text;
}

} // namespace quvex
