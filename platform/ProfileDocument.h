#pragma once

#include "TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quvex {

// The text of one INI-style file, parsed the way the Windows profile functions read it, and
// edited so that every byte the edit does not touch stays exactly as it was.
class ProfileDocument {
public:
    // A missing file reads as an empty document; a new file is written in the legacy code page.
    static ProfileDocument fromBytes(const QByteArray& bytes, const QByteArray& legacyEncoding);

    QStringList sections() const;
    QStringList keys(const QString& section) const;
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Every key of the section in file order, each with the value that value() gives for it
    // (for duplicate keys the first one's). Reads a whole section at once.
    QList<std::pair<QString, QString>> entries(const QString& section) const;

    // Why writing these names and value would damage the file, or nothing when it is safe.
    static std::optional<QString> refusalReason(const QString& section, const QString& key,
                                                const QString& value);

    // Replaces the first matching key's value, or adds the key (and its section). Returns false
    // when the text cannot be represented in the file's encoding; the document is then unchanged.
    bool setValue(const QString& section, const QString& key, const QString& value);

    QByteArray toBytes() const;

private:
    struct Parsed {
        enum class Kind { Other, Header, Entry };
        Kind kind = Kind::Other;
        QString name;
        QString value;
        qsizetype valueStart = 0; // first non-blank character after "=", or the line's length
    };
    struct Line {
        QByteArray raw; // the line's bytes without its end
        QByteArray end; // the line end as found, empty for a last line without one
        QString text;
        Parsed parsed;
    };
    static Parsed parse(const QString& text);
    static Line makeLine(QByteArray raw, QByteArray end, QString text);

    std::optional<qsizetype> findSection(const QString& name) const;
    qsizetype sectionEnd(qsizetype header) const;
    std::optional<QByteArray> encode(const QString& text) const;

    TextEncoding m_encoding;
    QByteArray m_bom;
    std::vector<Line> m_lines;
};

} // namespace quvex
