#include "LabeledEdit.h"

#include <QLabel>

namespace quvex {

QLineEdit* createLabeledEdit(QWidget* parent, const QString& name, const QString& caption,
                             const QRect& geometry, const QFont& font) {
    constexpr int gap = 3;
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFont(font);
    edit->setGeometry(geometry);
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name + QStringLiteral("Label"));
    label->setFont(font);
    label->setBuddy(edit);
    label->adjustSize();
    // Fonts wider than the designed one would push the caption off the left edge: shrink it.
    QFont smaller = font;
    while (label->width() > geometry.left() - gap && smaller.pixelSize() > 9) {
        smaller.setPixelSize(smaller.pixelSize() - 1);
        label->setFont(smaller);
        label->adjustSize();
    }
    label->move(geometry.left() - gap - label->width(),
                geometry.top() + (geometry.height() - label->height()) / 2);
    return edit;
}

} // namespace quvex
