#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace quvex::test {

// Answers every modal box that opens while it lives and records what it said: message boxes are
// confirmed, input boxes get the queued answer (or are cancelled when none is queued).
class MessageBoxRecorder : public QObject {
    Q_OBJECT
public:
    struct Box {
        QString objectName;
        QString title;
        QString text;
    };

    MessageBoxRecorder();

    const QList<Box>& boxes() const { return m_boxes; }
    QStringList texts() const;

    // The next input box gets this text and OK.
    void answerNextInput(const QString& text) { m_answers.append(text); }

private:
    void poll();

    QTimer m_timer;
    QList<Box> m_boxes;
    QStringList m_answers;
};

} // namespace quvex::test
