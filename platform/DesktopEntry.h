#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quvex {

// A freedesktop desktop entry for starting one program.
struct DesktopEntry {
    QString name;
    QString comment;
    QString executable; // written as the quoted Exec= program
    QString workingFolder;
};

QByteArray desktopEntryText(const DesktopEntry& entry);

// Writes the entry through a temporary file and makes it executable; returns whether it landed.
bool writeDesktopEntry(const QString& path, const DesktopEntry& entry);

// Whether the text is a desktop entry (its first group is "[Desktop Entry]").
bool isDesktopEntry(const QByteArray& text);

// The raw value of key in the "[Desktop Entry]" group, or nothing when the key is absent.
std::optional<QString> desktopEntryValue(const QByteArray& text, const QString& key);

} // namespace quvex
