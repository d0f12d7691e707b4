#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quvex {

// An INI-style file on disk. Holds only the path: every operation reads the file afresh, and a
// write lands whole (locked against other writers, then renamed into place).
class ProfileFile {
public:
    ProfileFile(QString path, QByteArray legacyEncoding);

    // Reads: a missing or unreadable file gives empty lists and the default.
    QStringList ReadSections() const;
    QStringList ReadSection(const QString& section) const;
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;

    // Creates the section and key when absent, else replaces the first match's value.
    // Throws Error "Unable to write to <path>" when the file cannot be written.
    void WriteString(const QString& section, const QString& key, const QString& value);

private:
    QString m_path;
    QByteArray m_legacyEncoding;
};

} // namespace quvex
