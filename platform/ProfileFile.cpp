#include "ProfileFile.h"

#include "Error.h"
#include "ProfileDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace quvex {

namespace {

constexpr int lockWaitMs = 10000;
constexpr int staleLockMs = 30000;

// The file's bytes, or nothing when it is missing or not a readable regular file.
std::optional<QByteArray> readBytes(const QString& path) {
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

bool writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    // Some shares refuse the rename; the lock still keeps other writers out.
    return QFileInfo(path).isFile() && writeInPlace(path, bytes);
}

} // namespace

ProfileFile::ProfileFile(QString path, QByteArray legacyEncoding)
    : m_path(std::move(path))
    , m_legacyEncoding(std::move(legacyEncoding)) {}

QStringList ProfileFile::ReadSections() const {
    return ProfileDocument::fromBytes(readBytes(m_path).value_or(QByteArray()), m_legacyEncoding)
        .sections();
}

QStringList ProfileFile::ReadSection(const QString& section) const {
    return ProfileDocument::fromBytes(readBytes(m_path).value_or(QByteArray()), m_legacyEncoding)
        .keys(section);
}

QString ProfileFile::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    return ProfileDocument::fromBytes(readBytes(m_path).value_or(QByteArray()), m_legacyEncoding)
        .value(section, key)
        .value_or(defaultValue);
}

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QString failure = QStringLiteral("Unable to write to %1").arg(m_path);
    if (const auto reason = ProfileDocument::refusalReason(section, key, value))
        throw Error(failure + QStringLiteral(": ") + *reason);

    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(staleLockMs);
    if (!lock.tryLock(lockWaitMs))
        throw Error(failure);

    std::optional<QByteArray> bytes = readBytes(m_path);
    if (!bytes && QFileInfo::exists(m_path))
        throw Error(failure);
    ProfileDocument document =
        ProfileDocument::fromBytes(bytes.value_or(QByteArray()), m_legacyEncoding);
    if (!document.setValue(section, key, value))
        throw Error(failure + QStringLiteral(": the text cannot be stored in the file's encoding"));
    if (!writeWhole(m_path, document.toBytes()))
        throw Error(failure);
}

} // namespace quvex
