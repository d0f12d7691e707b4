#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quvex {

bool installQtTranslations(QCoreApplication& application, const QLocale& locale) {
    const bool unset = locale.language() == QLocale::C;
    const QLocale wanted = unset ? QLocale(QLocale::Chinese, QLocale::China) : locale;
    auto* translator = new QTranslator(&application);
    if (!translator->load(wanted, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace quvex
