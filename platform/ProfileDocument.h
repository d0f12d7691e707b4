#pragma once

#include "TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace quvex {

// One section as a walk over ReadSections, ReadSection and ReadString gives it: the header's
// name and every key of the first section of that name with the value ReadString returns.
struct ProfileSection {
    QString name;
    QList<std::pair<QString, QString>> entries;
};

// The text of one INI-style file, parsed the way the Windows profile functions read it, and
// edited so that every byte the edit does not touch stays exactly as it was.
class ProfileDocument {
public:
    static constexpr qsizetype maxValueLength = 2047; // what a 2048-character buffer holds

    // A missing file reads as an empty document; a new file is written in the legacy code page.
    static ProfileDocument fromBytes(QByteArrayView bytes, const QByteArray& legacyEncoding);

    // Every header of the file in file order with its entries: what sections(), keys() and
    // value() give, in one pass that keeps nothing else of the file.
    static QList<ProfileSection> readSections(QByteArrayView bytes,
                                              const QByteArray& legacyEncoding);

    QStringList sections() const;
    QStringList keys(const QString& section) const;
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Why writing these names and value would damage the file or not read back, or nothing.
    static std::optional<QString> refusalReason(const QString& section, const QString& key,
                                                const QString& value);

    // Replaces the first matching key's value, or adds the key (and its section). Holds to one
    // property: afterwards value(section, key) is the value as a read gives it back (outer
    // blanks and one pair of outer quotes removed), and every other line reads exactly as
    // before. Returns why it cannot, leaving the document unchanged.
    std::optional<QString> setValue(const QString& section, const QString& key,
                                    const QString& value);

    QByteArray toBytes() const;

private:
    struct Parsed {
        enum class Kind { Other, Header, Entry };
        Kind kind = Kind::Other;
        QString name;
        QString folded; // the name as lookups compare it
        QString value;
        qsizetype valueStart = 0; // first non-blank character after "=", or the line's length
    };
    struct Line {
        QByteArray raw; // the line's bytes without its end
        QByteArray end; // the line end as found, empty for a last line without one
        QString text;
        Parsed parsed;
    };
    class SectionReader;
    static Parsed parse(QStringView text);
    static Line makeLine(QByteArray raw, QByteArray end, QString text);

    std::optional<qsizetype> findSection(const QString& folded) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype rawValueStart(const QByteArray& raw) const;
    // The indices of the lines it wrote, or nothing when textEncoding cannot hold the text.
    std::optional<std::vector<qsizetype>> applyEdit(const QString& section, const QString& key,
                                                    const QString& value,
                                                    const TextEncoding& textEncoding);

    TextEncoding m_encoding;
    QByteArray m_bom;
    std::vector<Line> m_lines;
    QByteArray m_strayTail; // a last byte of a UTF-16 file that makes no whole code unit
};

} // namespace quvex
