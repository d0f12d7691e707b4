#pragma once

#include <QFont>
#include <QLineEdit>

namespace quvex {

// A one-line edit at the given place with its caption in a label to its left; the label is
// named after the edit with "Label" appended.
QLineEdit* createLabeledEdit(QWidget* parent, const QString& name, const QString& caption,
                             const QRect& geometry, const QFont& font);

} // namespace quvex
