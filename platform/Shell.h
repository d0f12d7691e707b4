#pragma once

#include <QString>

namespace quvex {

enum class ShowCommand { Normal, Hidden };
enum class Verb { Default, Open };

// Opens a target the way the desktop shell does: web and mail links in their programs, UNC
// paths on the file server, documents by association, Windows program names through the
// platform's equivalents. The verb Open starts one of quvex's own executables directly.
// Never reports anything: a target that nothing can open is silently ignored.
void ShellOpen(const QString& target, const QString& parameters = {},
               ShowCommand show = ShowCommand::Normal, Verb verb = Verb::Default);

// The environment variable through which a start with ShowCommand::Hidden reaches the started
// program (the Windows show command travels in the process start-up information).
inline constexpr char showCommandVariable[] = "QUVEX_SHOW_COMMAND";

} // namespace quvex
