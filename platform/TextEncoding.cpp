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

QStringDecoder TextEncoding::decoder() const {
    switch (kind) {
    case Kind::Utf16LE:
        return QStringDecoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
    case Kind::Utf16BE:
        return QStringDecoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
    case Kind::Utf8Bom:
    case Kind::Utf8:
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    case Kind::Legacy:
        break;
    }
    QStringDecoder legacy(legacyName.constData(), QStringConverter::Flag::Stateless);
    return legacy.isValid() ? std::move(legacy) : QStringDecoder(QStringConverter::Latin1);
}

QStringEncoder TextEncoding::encoder() const {
    switch (kind) {
    case Kind::Utf16LE:
        return QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless);
    case Kind::Utf16BE:
        return QStringEncoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
    case Kind::Utf8Bom:
    case Kind::Utf8:
        return QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    case Kind::Legacy:
        break;
    }
    QStringEncoder legacy(legacyName.constData(), QStringConverter::Flag::Stateless);
    return legacy.isValid() ? std::move(legacy) : QStringEncoder(QStringConverter::Latin1);
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
