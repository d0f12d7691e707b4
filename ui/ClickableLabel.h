#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace quvex {

// A picture or text that reports a click with the left mouse button.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
        QLabel::mouseReleaseEvent(event);
    }
};

} // namespace quvex
