#pragma once

#include <QByteArray>
#include <QString>

namespace quvex {

// The build's configuration values, handed to the code that needs them (app/ fills it from the
// generated header; tests fill it themselves). Fill it by field name, never by position.
struct Config {
    QString version; // the build's version, shown in the window caption
    QString dbDriver;
    QString dbConnection;
    QString oaUrl;
    QString downloadBase;
    QString valuesTo;
    QString valuesCc;
    QString adminMail;
    QString docServer;
    QString tovikSource; // trailing '/'
    QByteArray legacyCodepage;
    QString loginPattern;
    QString supportPhone;
    QString supportMobile;
    QByteArray updatePublicKey; // hexadecimal Ed25519 key; when set, only signed builds install
};

} // namespace quvex
