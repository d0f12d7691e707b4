#include "TextEncoding.h"

#include <QByteArrayView>

#include <algorithm>

namespace quvex {

namespace {

bool hasNonAscii(const QByteArray& bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
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

std::optional<QStringConverter::Encoding> TextEncoding::builtIn() const {
    switch (kind) {
    case Kind::Utf16LE:
        return QStringConverter::Utf16LE;
    case Kind::Utf16BE:
        return QStringConverter::Utf16BE;
    case Kind::Utf8Bom:
    case Kind::Utf8:
        return QStringConverter::Utf8;
    case Kind::Legacy:
        break;
    }
    return std::nullopt;
}

// A legacy code page that this build cannot convert is read and written as Latin-1, which keeps
// every byte.
QStringDecoder TextEncoding::decoder() const {
    constexpr auto stateless = QStringConverter::Flag::Stateless;
    if (const auto encoding = builtIn())
        return QStringDecoder(*encoding, stateless);
    QStringDecoder legacy(legacyName.constData(), stateless);
    return legacy.isValid() ? std::move(legacy)
                            : QStringDecoder(QStringConverter::Latin1, stateless);
}

QStringEncoder TextEncoding::encoder() const {
    constexpr auto stateless = QStringConverter::Flag::Stateless;
    if (const auto encoding = builtIn())
        return QStringEncoder(*encoding, stateless);
    QStringEncoder legacy(legacyName.constData(), stateless);
    return legacy.isValid() ? std::move(legacy)
                            : QStringEncoder(QStringConverter::Latin1, stateless);
}

TextEncoding detectEncoding(const QByteArray& bytes, const QByteArray& legacyName) {
    using Kind = TextEncoding::Kind;
    if (bytes.startsWith("\xFF\xFE"))
        return {Kind::Utf16LE, legacyName};
    if (bytes.startsWith("\xFE\xFF"))
        return {Kind::Utf16BE, legacyName};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {Kind::Utf8Bom, legacyName};
    if (hasNonAscii(bytes) && QByteArrayView(bytes).isValidUtf8())
        return {Kind::Utf8, legacyName};
    return {Kind::Legacy, legacyName};
}

QString decodeText(const QByteArray& bytes, const QByteArray& legacyName) {
    const TextEncoding encoding = detectEncoding(bytes, legacyName);
    QStringDecoder decoder = encoding.decoder();
    return decoder(QByteArrayView(bytes).sliced(encoding.bomLength()));
}

} // namespace quvex
