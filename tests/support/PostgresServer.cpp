#include "PostgresServer.h"

#include <QDir>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quvex::test {

namespace {

QString serverBinaries() {
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& version : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
        if (QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}

} // namespace

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

PostgresServer::PostgresServer()
    : m_bin(serverBinaries())
    , m_port(freeLoopbackPort()) {
    if (m_bin.isEmpty()) {
        m_failure = QStringLiteral("no PostgreSQL server binaries under /usr/lib/postgresql");
        return;
    }
    if (::geteuid() == 0) {
        const passwd* postgres = ::getpwnam("postgres");
        if (!postgres || ::chown(QFile::encodeName(m_dir.path()).constData(), postgres->pw_uid,
                                 postgres->pw_gid) != 0) {
            m_failure = QStringLiteral("running as root without a postgres user to run the server");
            return;
        }
    }
    const QString data = m_dir.filePath(QStringLiteral("data"));
    m_running = run({m_bin + QStringLiteral("/initdb"), QStringLiteral("-D"), data,
                     QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"),
                     QStringLiteral("postgres"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                     QStringLiteral("--locale=C"), QStringLiteral("--no-sync")}) &&
                run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), data,
                     QStringLiteral("-l"), m_dir.filePath(QStringLiteral("server.log")),
                     QStringLiteral("-w"), QStringLiteral("-o"),
                     QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off")
                         .arg(m_port)
                         .arg(m_dir.path()),
                     QStringLiteral("start")});
}

PostgresServer::~PostgresServer() {
    if (m_running)
        run({m_bin + QStringLiteral("/pg_ctl"), QStringLiteral("-D"),
             m_dir.filePath(QStringLiteral("data")), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

bool PostgresServer::run(const QStringList& command) {
    QStringList full = command;
    if (::geteuid() == 0)
        full = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=postgres"),
                           QStringLiteral("--regid=postgres"), QStringLiteral("--init-groups")} +
               command;
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(full.first(), full.mid(1));
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_failure = QStringLiteral("%1 failed: %2")
                        .arg(QFileInfo(command.first()).fileName(),
                             QString::fromLocal8Bit(process.readAll()).trimmed());
        return false;
    }
    return true;
}

QString PostgresServer::odbcConnection() const {
    return QStringLiteral("DRIVER={PostgreSQL Unicode};Servername=127.0.0.1;Port=%1;"
                          "Database=postgres;Username=postgres;Password=;")
        .arg(m_port);
}

} // namespace quvex::test
