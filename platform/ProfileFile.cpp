#include "ProfileFile.h"

#include "Error.h"
#include "FileSystem.h"
#include "ProfileDocument.h"
#include "SharedFile.h"

namespace quvex {

namespace {

constexpr std::chrono::milliseconds lockWait{10000};

ProfileDocument readDocument(const QString& path, const QByteArray& legacyEncoding) {
    return ProfileDocument::fromBytes(readRegularFile(path).value_or(QByteArray()), legacyEncoding);
}

} // namespace

ProfileFile::ProfileFile(QString path, QByteArray legacyEncoding)
    : m_path(std::move(path))
    , m_legacyEncoding(std::move(legacyEncoding)) {}

QStringList ProfileFile::ReadSections() const {
    return readDocument(m_path, m_legacyEncoding).sections();
}

QStringList ProfileFile::ReadSection(const QString& section) const {
    return readDocument(m_path, m_legacyEncoding).keys(section);
}

QString ProfileFile::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    if (auto value = readDocument(m_path, m_legacyEncoding).value(section, key))
        return *value;
    QString fallback = defaultValue;
    while (!fallback.isEmpty() &&
           (fallback.back() == u' ' || fallback.back() == u'\t' || fallback.back() == u'\v'))
        fallback.chop(1);
    return fallback;
}

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
    write(section, key, value, KeyChoice::Given);
}

bool ProfileFile::addString(const QString& section, const QString& key, const QString& value) {
    return write(section, key, value, KeyChoice::OnlyIfFree).has_value();
}

QString ProfileFile::addStringUnderFreeKey(const QString& section, const QString& key,
                                           const QString& value) {
    return *write(section, key, value, KeyChoice::FirstFree);
}

std::optional<QString> ProfileFile::write(const QString& section, const QString& key,
                                          const QString& value, KeyChoice choice) {
    const QString failure = QStringLiteral("Unable to write to %1: ").arg(m_path);
    if (const auto reason = ProfileDocument::refusalReason(section, key, value))
        throw Error(failure + *reason);
    std::optional<QString> written;
    const auto edit = [&](const std::optional<QByteArray>& current) -> std::optional<QByteArray> {
        ProfileDocument document =
            ProfileDocument::fromBytes(current.value_or(QByteArray()), m_legacyEncoding);
        const auto taken = [&](const QString& name) {
            return !document.value(section, name).value_or(QString()).isEmpty();
        };
        QString chosen = key;
        if (choice == KeyChoice::OnlyIfFree && taken(key))
            return std::nullopt;
        for (int n = 2; choice == KeyChoice::FirstFree && taken(chosen); ++n)
            chosen = key + u'_' + QString::number(n);
        if (const auto reason = document.setValue(section, chosen, value))
            throw Error(failure + *reason);
        written = chosen;
        return document.toBytes();
    };
    if (const auto reason = rewriteSharedFile(m_path, edit, lockWait))
        throw Error(failure + *reason);
    return written;
}

} // namespace quvex
