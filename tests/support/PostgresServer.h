#pragma once

#include <QString>
#include <QTemporaryDir>

namespace quvex::test {

// A throwaway PostgreSQL server in a temporary folder on a free loopback port, stopped and
// removed with the object. The server refuses to run as root, so a root caller runs it as the
// postgres user.
class PostgresServer {
public:
    PostgresServer();
    ~PostgresServer();

    bool isRunning() const { return m_running; }
    // Why the server could not start, when it did not.
    const QString& failure() const { return m_failure; }
    int port() const { return m_port; }

    // An ODBC connection string for the PostgreSQL Unicode driver.
    QString odbcConnection() const;

private:
    bool run(const QStringList& command);

    QTemporaryDir m_dir;
    QString m_bin;
    int m_port = 0;
    bool m_running = false;
    QString m_failure;
};

// A TCP port on 127.0.0.1 that nothing listens on right now.
int freeLoopbackPort();

} // namespace quvex::test
