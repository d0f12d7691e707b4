#include "ShellLinux.h"

#include "PosixFile.h"
#include "Shell.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace quvex {

namespace {

// The Windows show command travels in the process start-up information; here it travels in the
// started program's environment.
constexpr char showCommandVariable[] = "QUVEX_SHOW_COMMAND";

// The proof of life travels through a pipe: the starter hands the write end to the started
// program under this name, and reads one line from the other end. The program's exit closes the
// pipe, so a program that dies is seen at once.
constexpr char proofOfLifeVariable[] = "QUVEX_PROOF_OF_LIFE_FD";

// This process's end of its starter's pipe, taken before anything runs: it is closed on exec, so
// the programs this one starts do not hold it open after this one is gone.
int takeProofOfLifeChannel() {
    const char* value = std::getenv(proofOfLifeVariable);
    if (!value)
        return -1;
    char* end = nullptr;
    const long fd = std::strtol(value, &end, 10);
    ::unsetenv(proofOfLifeVariable);
    if (*end != '\0' || fd < 3 || ::fcntl(int(fd), F_SETFD, FD_CLOEXEC) != 0)
        return -1;
    return int(fd);
}

int g_proofOfLifeChannel = takeProofOfLifeChannel();

QProcessEnvironment environmentFor(ShowCommand show) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QLatin1String(showCommandVariable));
    if (show == ShowCommand::Hidden)
        environment.insert(QLatin1String(showCommandVariable), QStringLiteral("hidden"));
    return environment;
}

// Windows program names and what stands for them here; the first candidate found wins.
const QHash<QString, QList<QStringList>>& windowsPrograms() {
    static const QHash<QString, QList<QStringList>> table = {
        {QStringLiteral("outlook.exe"), {{QStringLiteral("xdg-email")}}},
        {QStringLiteral("winword.exe"),
         {{QStringLiteral("libreoffice"), QStringLiteral("--writer")}}},
        {QStringLiteral("excel.exe"), {{QStringLiteral("libreoffice"), QStringLiteral("--calc")}}},
        {QStringLiteral("powerpnt.exe"),
         {{QStringLiteral("libreoffice"), QStringLiteral("--impress")}}},
        {QStringLiteral("msaccess.exe"),
         {{QStringLiteral("libreoffice"), QStringLiteral("--base")}}},
        {QStringLiteral("taskmgr.exe"),
         {{QStringLiteral("gnome-system-monitor")},
          {QStringLiteral("plasma-systemmonitor")},
          {QStringLiteral("xfce4-taskmanager")}}},
        {QStringLiteral("intl.cpl"),
         {{QStringLiteral("gnome-control-center"), QStringLiteral("region")},
          {QStringLiteral("systemsettings"), QStringLiteral("kcm_regionandlang")}}},
        {QStringLiteral("iexplore.exe"), {{QStringLiteral("sensible-browser")}}},
    };
    return table;
}

std::optional<ShellCommand> onPath(const QStringList& argv, const ProgramFinder& findProgram) {
    const QString program = findProgram(argv.first());
    if (program.isEmpty())
        return std::nullopt;
    return ShellCommand{program, argv.mid(1)};
}

// \\host\share\rest becomes smb://host/share/rest, encoded; a trailing separator is kept.
QString smbUrl(const QString& unc) {
    QString rest = unc.mid(2);
    rest.replace(u'\\', u'/');
    const qsizetype slash = rest.indexOf(u'/');
    QUrl url;
    url.setScheme(QStringLiteral("smb"));
    url.setHost(slash < 0 ? rest : rest.left(slash));
    url.setPath(slash < 0 ? QString() : rest.mid(slash));
    return QString::fromUtf8(url.toEncoded());
}

bool isWindowsProgram(const QString& target) {
    return target.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ||
           target.endsWith(QLatin1String(".cpl"), Qt::CaseInsensitive);
}

} // namespace

std::optional<ShellCommand> resolveShellCommand(const QString& target, const QString& parameters,
                                                const ProgramFinder& findProgram,
                                                const QString& homeFolder) {
    const auto xdgOpen = [&](const QString& argument) {
        return onPath({QStringLiteral("xdg-open"), argument}, findProgram);
    };
    if (target.startsWith(QLatin1String("\\\\")))
        return xdgOpen(smbUrl(target));

    const QString name = target.toLower();
    if (name == QLatin1String("iexplore.exe") && !parameters.isEmpty())
        return xdgOpen(parameters);
    if (name == QLatin1String("explorer.exe"))
        return xdgOpen(homeFolder);
    if (const auto it = windowsPrograms().constFind(name); it != windowsPrograms().cend()) {
        for (QStringList argv : *it) {
            if (!parameters.isEmpty())
                argv.append(parameters);
            if (auto command = onPath(argv, findProgram))
                return command;
        }
        return std::nullopt;
    }
    if (isWindowsProgram(target)) {
        const QString baseName = QFileInfo(QString(target).replace(u'\\', u'/')).completeBaseName();
        QStringList argv{baseName};
        if (!parameters.isEmpty())
            argv.append(parameters);
        if (auto command = onPath(argv, findProgram))
            return command;
    }
    return xdgOpen(target);
}

void ShellOpen(const QString& target, const QString& parameters, ShowCommand show, Verb verb) {
    if (verb == Verb::Open) {
        QProcess process;
        process.setProgram(target);
        process.setProcessEnvironment(environmentFor(show));
        process.startDetached();
        return;
    }
    const auto findOnPath = [](const QString& name) {
        return QStandardPaths::findExecutable(name);
    };
    if (const auto command = resolveShellCommand(target, parameters, findOnPath, QDir::homePath()))
        QProcess::startDetached(command->program, command->arguments);
}

std::optional<qint64> startAndAwaitProofOfLife(const QString& program, ShowCommand show,
                                               std::chrono::milliseconds wait) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return std::nullopt;
    posix::Descriptor reading(ends[0]);
    // The started program's end, without close-on-exec so that it reaches the program.
    posix::Descriptor writing(::fcntl(ends[1], F_DUPFD, 3));
    ::close(ends[1]);
    if (!writing.valid())
        return std::nullopt;
    QProcess process;
    process.setProgram(program);
    QProcessEnvironment environment = environmentFor(show);
    environment.insert(QLatin1String(proofOfLifeVariable), QString::number(writing.get()));
    process.setProcessEnvironment(environment);
    qint64 pid = 0;
    const bool started = process.startDetached(&pid);
    writing.close();
    if (!started)
        return std::nullopt;

    const QDeadlineTimer deadline(wait);
    for (;;) {
        struct pollfd ready = {reading.get(), POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR)
            continue;
        char line[16];
        if (polled > 0 && ::read(reading.get(), line, sizeof line) > 0)
            return pid;
        break; // an end without a report, a failure, or no report in time
    }
    ::kill(pid_t(pid), SIGKILL);
    return std::nullopt;
}

void reportProofOfLife() {
    const int channel = std::exchange(g_proofOfLifeChannel, -1);
    if (channel < 0)
        return;
    posix::Descriptor pipe(channel);
    // A starter that has gone away must not end this program: its SIGPIPE is held back and
    // dropped.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    static constexpr char report[] = "running\n";
    if (::write(pipe.get(), report, sizeof report - 1) < 0 && errno == EPIPE) {
        const struct timespec now = {0, 0};
        ::sigtimedwait(&pipeSignal, nullptr, &now);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool startedHidden() {
    return qEnvironmentVariable(showCommandVariable) == QLatin1String("hidden");
}

} // namespace quvex
