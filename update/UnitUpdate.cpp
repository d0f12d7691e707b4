#include "UnitUpdate.h"

#include "Autostart.h"
#include "FileSystem.h"
#include "Locations.h"
#include "QuitRequest.h"
#include "Shell.h"
#include "Shortcut.h"
#include "System.h"

#include <QFileInfo>

namespace quvex {

namespace {

const QDate dateTimeEpoch(1899, 12, 30);
const QDateTime dosFirst(QDate(1980, 1, 1), QTime(0, 0, 0));
const QDateTime dosLast(QDate(2107, 12, 31), QTime(23, 59, 58));

} // namespace

double dateTimeValue(const QDateTime& local) {
    return double(dateTimeEpoch.daysTo(local.date())) +
           local.time().msecsSinceStartOfDay() / 86400000.0;
}

double dosDateTimeValue(const QDateTime& local) {
    const QDateTime wall(local.date(), local.time());
    if (wall < dosFirst)
        return dateTimeValue(dosFirst);
    if (wall > dosLast)
        return dateTimeValue(dosLast);
    const QTime time = wall.time();
    return dateTimeValue(
        QDateTime(wall.date(), QTime(time.hour(), time.minute(), time.second() & ~1)));
}

double GetFileDateTime(const QString& path, FileTimeKind kind) {
    const std::optional<FileTimes> times = fileTimes(path);
    if (!times)
        return dateTimeValue(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    const QDateTime& chosen = kind == FileTimeKind::Creation     ? times->creation
                              : kind == FileTimeKind::LastAccess ? times->lastAccess
                                                                 : times->lastWrite;
    return dosDateTimeValue(chosen.toLocalTime());
}

UpdateAction decideUpdate(const QString& runningFileName, const QString& carrierFileName,
                          bool sharedProgramExists, double sharedProgramTime,
                          double runningProgramTime) {
    if (runningFileName == carrierFileName)
        return UpdateAction::InstallFromCarrier;
    if (sharedProgramExists && runningProgramTime < sharedProgramTime)
        return UpdateAction::HandOverToCarrier;
    return UpdateAction::RunNormally;
}

void UpdateFromShare(const Locations& locations) {
    if (FileExists(locations.sharedLinkList()))
        CopyFile(locations.sharedLinkList(), locations.localLinkList());
    if (FileExists(locations.sharedPhoneDirectory()))
        CopyFile(locations.sharedPhoneDirectory(), locations.localPhoneDirectory());

    const QString running = locations.executablePath;
    const bool shared = FileExists(locations.sharedProgram());
    const UpdateAction action = decideUpdate(
        QFileInfo(running).fileName(), locations.carrierFileName(), shared,
        shared ? GetFileDateTime(locations.sharedProgram(), FileTimeKind::LastWrite) : 0.0,
        shared ? GetFileDateTime(running, FileTimeKind::LastWrite) : 0.0);

    switch (action) {
    case UpdateAction::RunNormally:
        return;
    case UpdateAction::InstallFromCarrier:
        // The copy lands by rename, so a still-running outdated instance cannot make it fail.
        if (CopyFile(running, locations.localProgram(), CopyDurability::Synced)) {
            ShellOpen(locations.localProgram(), {}, ShowCommand::Normal, Verb::Open);
            RequestQuit();
        }
        return;
    case UpdateAction::HandOverToCarrier:
        if (CopyFile(locations.sharedProgram(), locations.updateCarrier(),
                     CopyDurability::Synced)) {
            ShellOpen(locations.updateCarrier(), {}, ShowCommand::Hidden, Verb::Open);
            RequestQuit();
        }
        return;
    }
}

void CreateDesktopShortcut(const Locations& locations) {
    const QString link = GetDesktopFolder() + u'/' + shortcutFileName(FileNames::shortcutName);
    if (FileExists(link))
        DeleteFile(link);
    saveShellLink(link, locations.executablePath, locations.programFolder,
                  QStringLiteral("QUVEX --Pelko"));
}

void RemoveAutostartEntry() {
    const std::optional<AutostartStore> store = AutostartStore::open();
    if (!store)
        return;
    const std::optional<QString> command = store->readText(autostartValueName);
    if (command && !command->isEmpty())
        store->deleteValue(autostartValueName);
}

void RestartProgram(const Locations& locations) {
    ShellOpen(locations.localProgram(), {}, ShowCommand::Normal, Verb::Open);
    RequestQuit();
}

} // namespace quvex
