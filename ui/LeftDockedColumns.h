#pragma once

#include <QWidget>

namespace quvex {

// A page whose children stand side by side from the left edge at fixed widths, each the full
// height of the page. Widths do not follow the page's size: what does not fit is cut off at
// the right edge.
class LeftDockedColumns : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void addColumn(QWidget* column, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    struct Column {
        QWidget* widget;
        int width;
    };
    QList<Column> m_columns;
};

} // namespace quvex
