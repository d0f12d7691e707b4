#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>

#include <optional>

namespace quvex {

// How a text file is encoded, as far as quvex reads and rewrites it.
struct TextEncoding {
    enum class Kind { Utf8Bom, Utf16LE, Utf16BE, Utf8, Legacy };
    Kind kind = Kind::Legacy;
    QByteArray legacyName; // the legacy code page, used when kind is Legacy

    qsizetype bomLength() const;
    // The converter for the kinds Qt always has; nothing for the legacy code page.
    std::optional<QStringConverter::Encoding> builtIn() const;
    QStringDecoder decoder() const;
    QStringEncoder encoder() const;
};

// BOM first (UTF-16LE, UTF-16BE, UTF-8); without one, UTF-8 when the bytes hold non-ASCII text
// that is valid UTF-8, else the legacy code page (what Windows clients in that locale write).
TextEncoding detectEncoding(const QByteArray& bytes, const QByteArray& legacyName);

// The whole file's text, without its BOM.
QString decodeText(const QByteArray& bytes, const QByteArray& legacyName);

} // namespace quvex
