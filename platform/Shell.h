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

// Whether this process was started with ShowCommand::Hidden (the update carrier), so that it
// keeps its window hidden.
bool startedHidden();

} // namespace quvex
