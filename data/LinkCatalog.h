#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quvex {

struct Locations;

struct LinkEntry {
    QString name;   // the button's caption
    QString target; // opened through the shell
    bool operator==(const LinkEntry&) const = default;
};

struct LinkGroup {
    QString caption;
    QList<LinkEntry> links;
    bool operator==(const LinkGroup&) const = default;
};

// The link list: groups and links in file order.
using LinkCatalog = QList<LinkGroup>;

// The section that receives the links users propose, until a reviewer moves them.
inline const QString pendingLinksSection = QStringLiteral("待审核");

// Reads a link list file; a missing or empty file gives an empty catalog.
LinkCatalog ReadLinkCatalog(const QString& path, const QByteArray& legacyEncoding);

// Writes a proposed link into the review section of the shared master list, unless a link of
// that name is already waiting there (checked and written under one lock); returns whether it
// wrote.
bool AddPendingLink(const Locations& locations, const QByteArray& legacyEncoding,
                    const QString& name, const QString& target);

} // namespace quvex
