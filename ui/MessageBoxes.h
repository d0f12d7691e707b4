#pragma once

#include <QString>

namespace quvex {

// The application title: the executable's file name up to its first ".", every character after
// the first in lower case ("QUVEX.EXE" gives "Quvex", "u" gives "u").
QString applicationTitleFor(const QString& executableFileName);

// The ErrorBox text: a "." is appended when the message is not empty and its last character has
// a code above that of ".".
QString errorBoxText(const QString& message);

// A modal error box with the application title as caption and a single OK button.
void ErrorBox(const QString& message);

// A modal information box with the application title as caption and an OK button.
void InfoBox(const QString& text);

} // namespace quvex
