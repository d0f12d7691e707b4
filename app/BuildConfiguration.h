#pragma once

// Included only by the executables: each is compiled against the generated configuration
// header of its own build (the hand-over test builds the program against its own share).
#include "Config.h"
#include "Locations.h"
#include "System.h"

#include <QCoreApplication>

#include <quvex/BuildConfig.h>

namespace quvex {

inline Config configurationOfThisBuild() {
    namespace b = quvex::build;
    return {
        .version = QString::fromUtf8(b::version),
        .dbDriver = QString::fromUtf8(b::db_driver),
        .dbConnection = QString::fromUtf8(b::db_connection),
        .oaUrl = QString::fromUtf8(b::oa_url),
        .downloadBase = QString::fromUtf8(b::download_base),
        .valuesTo = QString::fromUtf8(b::values_to),
        .valuesCc = QString::fromUtf8(b::values_cc),
        .adminMail = QString::fromUtf8(b::admin_mail),
        .docServer = QString::fromUtf8(b::doc_server),
        .tovikSource = QString::fromUtf8(b::tovik_source),
        .legacyCodepage = QByteArray(b::legacy_codepage),
        .loginPattern = QString::fromUtf8(b::login_pattern),
        .supportPhone = QString::fromUtf8(b::support_phone),
        .supportMobile = QString::fromUtf8(b::support_mobile),
        .updatePublicKey = QByteArray(b::update_public_key),
    };
}

// The locations of an executable at the given path in this build.
inline Locations locationsOfThisBuild(const QString& executablePath) {
    return Locations::forExecutable(executablePath, QString::fromUtf8(build::share_root),
                                    QString::fromUtf8(build::executableSuffix));
}

// The locations of the running executable; marked inexact when its path cannot be named.
inline Locations locationsOfThisProcess() {
    const std::optional<QString> exact = runningExecutablePath();
    Locations locations =
        locationsOfThisBuild(exact.value_or(QCoreApplication::applicationFilePath()));
    locations.exactPaths = exact.has_value();
    return locations;
}

} // namespace quvex
