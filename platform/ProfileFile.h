#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quvex {

// An INI-style file on disk. Holds only the path: every operation reads the file afresh, and a
// write lands whole or not at all (see SharedFile.h), holding to one property: after a write
// that succeeds, ReadString returns the value written (outer blanks and one pair of outer quotes
// aside) and every other entry reads as before. A write that cannot keep it is refused.
class ProfileFile {
public:
    ProfileFile(QString path, QByteArray legacyEncoding);

    // Reads: a missing or unreadable file gives empty lists and the default (without its
    // trailing blanks, as the Windows function returns it).
    QStringList ReadSections() const;
    QStringList ReadSection(const QString& section) const;
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    // Creates the section and key when absent, else replaces the first match's value.
    // Throws Error "Unable to write to <path>: <reason>" when it cannot.
    void WriteString(const QString& section, const QString& key, const QString& value);

    // Writes the key only when it reads empty, deciding and writing under one lock; returns
    // whether it wrote. Throws as WriteString does.
    bool addString(const QString& section, const QString& key, const QString& value);

    // Writes under the first of key, key_2, key_3, ... that reads empty, deciding and writing
    // under one lock; returns the key used. Throws as WriteString does.
    QString addStringUnderFreeKey(const QString& section, const QString& key, const QString& value);

private:
    enum class KeyChoice { Given, OnlyIfFree, FirstFree };
    std::optional<QString> write(const QString& section, const QString& key, const QString& value,
                                 KeyChoice choice);

    QString m_path;
    QByteArray m_legacyEncoding;
};

} // namespace quvex
