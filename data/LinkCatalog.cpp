#include "LinkCatalog.h"

#include "FileSystem.h"
#include "Locations.h"
#include "ProfileDocument.h"
#include "ProfileFile.h"

namespace quvex {

LinkCatalog ReadLinkCatalog(const QString& path, const QByteArray& legacyEncoding) {
    // One pass gives what a ReadSections/ReadSection/ReadString walk over the file gives.
    QList<ProfileSection> sections =
        ProfileDocument::readSections(readRegularFile(path).value_or(QByteArray()), legacyEncoding);
    LinkCatalog catalog;
    catalog.reserve(sections.size());
    for (ProfileSection& section : sections) {
        LinkGroup group{std::move(section.name), {}};
        group.links.reserve(section.entries.size());
        for (auto& [name, target] : section.entries)
            group.links.append({std::move(name), std::move(target)});
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
