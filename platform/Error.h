#pragma once

#include <QString>

#include <exception>

namespace quvex {

// The one failure type of the program: a message for the ErrorBox. Thrown by any action that
// cannot complete; caught only by the guard at Qt's entry points (Guard.h).
class Error : public std::exception {
public:
    explicit Error(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace quvex
