#include "LabeledEdit.h"

#include <QLabel>

namespace quvex {

QLineEdit* createLabeledEdit(QWidget* parent, const QString& name, const QString& caption,
                             const QRect& geometry) {
    constexpr int gap = 3;
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name + QStringLiteral("Label"));
    label->setFont(edit->font());
    label->setBuddy(edit);
    label->adjustSize();
    label->move(geometry.left() - gap - label->width(),
                geometry.top() + (geometry.height() - label->height()) / 2);
    return edit;
}

} // namespace quvex
