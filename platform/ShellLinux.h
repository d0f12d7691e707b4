#pragma once

// The Linux side of ShellOpen, exposed so that its choice of program can be tested as a table.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quvex {

struct ShellCommand {
    QString program; // as findProgram returned it
    QStringList arguments;
    bool operator==(const ShellCommand&) const = default;
};

// The path of a program found on PATH, or empty when there is none.
using ProgramFinder = std::function<QString(const QString& name)>;

// What ShellOpen starts for the target: UNC paths as smb:// URLs through xdg-open, Windows
// program names through the first available stand-in of the table, anything else through
// xdg-open. Nothing when no program for it is available.
std::optional<ShellCommand> resolveShellCommand(const QString& target, const QString& parameters,
                                                const ProgramFinder& findProgram,
                                                const QString& homeFolder);

} // namespace quvex
