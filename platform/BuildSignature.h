#pragma once

#include <QByteArray>
#include <QString>

namespace quvex {

// Whether signatureFile holds a valid detached Ed25519 signature of file's bytes by the key
// (32 bytes, given in hexadecimal). False for anything missing, unreadable or malformed.
bool isSignedBy(const QString& file, const QString& signatureFile, const QByteArray& publicKeyHex);

} // namespace quvex
