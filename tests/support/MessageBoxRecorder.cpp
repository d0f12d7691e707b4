#include "MessageBoxRecorder.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace quvex::test {

MessageBoxRecorder::MessageBoxRecorder() {
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxRecorder::poll);
    m_timer.start(5);
}

QStringList MessageBoxRecorder::texts() const {
    QStringList result;
    for (const Box& box : m_boxes)
        result.append(box.text);
    return result;
}

void MessageBoxRecorder::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        m_boxes.append({box->objectName(), box->windowTitle(), box->text()});
        box->done(QMessageBox::Ok);
    } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
        m_boxes.append({input->objectName(), input->windowTitle(), input->labelText()});
        if (m_answers.isEmpty()) {
            input->reject();
        } else {
            input->setTextValue(m_answers.takeFirst());
            input->accept();
        }
    }
}

} // namespace quvex::test
