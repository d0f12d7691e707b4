#pragma once

#include <QLocale>

class QCoreApplication;

namespace quvex {

// Loads Qt's own texts (the buttons of message boxes, the file dialog) in the user's language.
// A C or POSIX locale gets Chinese, the language of every text of this program. Returns whether
// the translation was found.
bool installQtTranslations(QCoreApplication& application, const QLocale& locale);

} // namespace quvex
