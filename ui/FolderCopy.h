#pragma once

#include <QString>

class QWidget;

namespace quvex {

// Copies the folder source (with its own name) into destination, overwriting without questions,
// with a progress window owned by owner. A failure is shown in one message box with the reason;
// the caller is not told.
void CopyFolder(const QString& source, const QString& destination, QWidget* owner);

} // namespace quvex
