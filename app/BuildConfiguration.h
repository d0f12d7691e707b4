#pragma once

// Included only by the executables: each is compiled against the generated configuration
// header of its own build (the hand-over test builds the program against its own share).
#include "Config.h"
#include "Locations.h"

#include <quvex/BuildConfig.h>

namespace quvex {

inline Config configurationOfThisBuild() {
    namespace b = quvex::build;
    return {QString::fromUtf8(b::db_driver),     QString::fromUtf8(b::db_connection),
            QString::fromUtf8(b::oa_url),        QString::fromUtf8(b::download_base),
            QString::fromUtf8(b::values_to),     QString::fromUtf8(b::values_cc),
            QString::fromUtf8(b::admin_mail),    QString::fromUtf8(b::doc_server),
            QString::fromUtf8(b::tovik_source),  QByteArray(b::legacy_codepage),
            QString::fromUtf8(b::login_pattern), QString::fromUtf8(b::support_phone),
            QString::fromUtf8(b::support_mobile)};
}

// The locations of an executable at the given path in this build.
inline Locations locationsOfThisBuild(const QString& executablePath) {
    return Locations::forExecutable(executablePath, QString::fromUtf8(build::share_root),
                                    QString::fromUtf8(build::executableSuffix));
}

} // namespace quvex
