#pragma once

#include <QString>

#include <chrono>
#include <optional>

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

// Starts one of quvex's own executables and waits, at most wait, for its proof of life: the
// report it sends once it enters its event loop (reportProofOfLife). A program that exits, hangs
// or does not report in time is ended. Returns its process id when it runs.
std::optional<qint64> startAndAwaitProofOfLife(const QString& program, ShowCommand show,
                                               std::chrono::milliseconds wait);

// Tells the quvex that started this process, if it waits for it, that this one runs. Called
// once, from the first event loop that runs; every build keeps this contract.
void reportProofOfLife();

} // namespace quvex
