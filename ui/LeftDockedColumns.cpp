#include "LeftDockedColumns.h"

namespace quvex {

void LeftDockedColumns::addColumn(QWidget* column, int width) {
    column->setParent(this);
    m_columns.append({column, width});
    place();
    column->show();
}

void LeftDockedColumns::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void LeftDockedColumns::place() {
    int left = 0;
    for (const Column& column : std::as_const(m_columns)) {
        column.widget->setGeometry(left, 0, column.width, height());
        left += column.width;
    }
}

} // namespace quvex
