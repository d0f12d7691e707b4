#pragma once

#include <QDateTime>
#include <QString>

namespace quvex {

struct Locations;

// Which of a file's times GetFileDateTime returns.
enum class FileTimeKind { Creation = 0, LastAccess = 1, LastWrite = 2 };

// A date-time value: days since 1899-12-30 and the fraction of the day, compared as numbers.
double dateTimeValue(const QDateTime& local);

// The local time as the packed DOS form holds it (seconds cut to even, years 1980 to 2107),
// as a date-time value. Times outside the DOS range are clamped to its first or last step, so
// ordering is kept and a file from 1970 still counts as older than any real build.
double dosDateTimeValue(const QDateTime& local);

// The chosen time of the file, as dosDateTimeValue gives it; 2000-01-01 for a missing file.
double GetFileDateTime(const QString& path, FileTimeKind kind);

// What the update step does, decided from the names and file times it looks at.
enum class UpdateAction { RunNormally, InstallFromCarrier, HandOverToCarrier };
UpdateAction decideUpdate(const QString& runningFileName, const QString& carrierFileName,
                          bool sharedProgramExists, double sharedProgramTime,
                          double runningProgramTime);

// Start step 1: refreshes the local link list and phone directory from the share, and hands
// over to a newer build through the update carrier. Silent; may request quit, but only once the
// next stage has proved that it runs. A shared build that is not a whole program of this
// platform, or (with a public key) is not signed by it, is not installed; one that does not come
// up is not tried again until the share holds another. Writes nothing when the program's folder
// cannot be named exactly.
void UpdateFromShare(const Locations& locations, const QByteArray& publicKey = {});

// Start step 4: rebuilds the desktop shortcut to the running executable.
void CreateDesktopShortcut(const Locations& locations);

// The name of the program's autostart value, which it removes but never creates.
inline const QString autostartValueName = QStringLiteral("quvex网址导航");

// Start step 5: deletes the program's autostart value when it holds a command.
void RemoveAutostartEntry();

// Starts the installed program anew and requests quit, also when the start fails.
void RestartProgram(const Locations& locations);

} // namespace quvex
