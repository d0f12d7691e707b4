#include "LinkCatalog.h"

#include "FileSystem.h"
#include "Locations.h"
#include "ProfileDocument.h"
#include "ProfileFile.h"

namespace quvex {

LinkCatalog ReadLinkCatalog(const QString& path, const QByteArray& legacyEncoding) {
    // One parse gives what a ReadSections/ReadSection/ReadString walk over the file gives.
    const ProfileDocument document =
        ProfileDocument::fromBytes(readRegularFile(path).value_or(QByteArray()), legacyEncoding);
    LinkCatalog catalog;
    for (const ProfileSection& section : document.readAll()) {
        LinkGroup group{section.name, {}};
        group.links.reserve(section.entries.size());
        for (const auto& [name, target] : section.entries)
            group.links.append({name, target});
        catalog.append(std::move(group));
    }
    return catalog;
}

bool AddPendingLink(const Locations& locations, const QByteArray& legacyEncoding,
                    const QString& name, const QString& target) {
    return ProfileFile(locations.sharedLinkList(), legacyEncoding)
        .addString(pendingLinksSection, name, target);
}

} // namespace quvex
