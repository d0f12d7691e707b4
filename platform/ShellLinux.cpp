#include "ShellLinux.h"
#include "Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

namespace quvex {

namespace {

// The Windows show command travels in the process start-up information; here it travels in the
// started program's environment.
constexpr char showCommandVariable[] = "QUVEX_SHOW_COMMAND";

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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QLatin1String(showCommandVariable));
        if (show == ShowCommand::Hidden)
            environment.insert(QLatin1String(showCommandVariable), QStringLiteral("hidden"));
        process.setProcessEnvironment(environment);
        process.startDetached();
        return;
    }
    const auto findOnPath = [](const QString& name) {
        return QStandardPaths::findExecutable(name);
    };
    if (const auto command = resolveShellCommand(target, parameters, findOnPath, QDir::homePath()))
        QProcess::startDetached(command->program, command->arguments);
}

bool startedHidden() {
    return qEnvironmentVariable(showCommandVariable) == QLatin1String("hidden");
}

} // namespace quvex
