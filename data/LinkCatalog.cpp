#include "LinkCatalog.h"

#include "Locations.h"
#include "ProfileDocument.h"
#include "ProfileFile.h"

#include <QFile>
#include <QFileInfo>

namespace quvex {

LinkCatalog ReadLinkCatalog(const QString& path, const QByteArray& legacyEncoding) {
    QByteArray bytes;
    if (QFile file(path); QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    // One parse gives what a ReadSections/ReadSection/ReadString walk over the file gives.
    const ProfileDocument document = ProfileDocument::fromBytes(bytes, legacyEncoding);
    LinkCatalog catalog;
    for (const QString& section : document.sections()) {
        LinkGroup group{section, {}};
        for (const auto& [name, target] : document.entries(section))
            group.links.append({name, target});
        catalog.append(group);
    }
    return catalog;
}

QString pendingLinkTarget(const Locations& locations, const QByteArray& legacyEncoding,
                          const QString& name) {
    return ProfileFile(locations.sharedLinkList(), legacyEncoding)
        .ReadString(pendingLinksSection, name, {});
}

void AddPendingLink(const Locations& locations, const QByteArray& legacyEncoding,
                    const QString& name, const QString& target) {
    ProfileFile(locations.sharedLinkList(), legacyEncoding)
        .WriteString(pendingLinksSection, name, target);
}

} // namespace quvex
