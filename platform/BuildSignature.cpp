#include "BuildSignature.h"

#include "FileSystem.h"

#include <sodium.h>

namespace quvex {

bool isSignedBy(const QString& file, const QString& signatureFile, const QByteArray& publicKeyHex) {
    const QByteArray key = QByteArray::fromHex(publicKeyHex);
    const std::optional<QByteArray> signature = readRegularFile(signatureFile);
    if (key.size() != crypto_sign_PUBLICKEYBYTES || !signature ||
        signature->size() != crypto_sign_BYTES || sodium_init() < 0)
        return false;
    const std::optional<QByteArray> bytes = readRegularFile(file);
    return bytes &&
           crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature->constData()),
               reinterpret_cast<const unsigned char*>(bytes->constData()), quint64(bytes->size()),
               reinterpret_cast<const unsigned char*>(key.constData())) == 0;
}

} // namespace quvex
