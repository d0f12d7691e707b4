#include "UnitUpdate.h"

#include "Autostart.h"
#include "BuildSignature.h"
#include "FileSystem.h"
#include "Locations.h"
#include "QuitRequest.h"
#include "Shell.h"
#include "Shortcut.h"
#include "System.h"

#include <QFileInfo>
#include <QSaveFile>

#include <chrono>

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

namespace {

// How long a started stage has to prove it runs: long enough for a slow share and a busy
// computer, since a build that misses it is not tried again. The carrier's includes its own
// waits for the new program and, when that fails, for the previous one.
constexpr std::chrono::seconds programWait{20};
constexpr std::chrono::seconds carrierWait{2 * programWait + std::chrono::seconds(10)};

// A shared build as the update tells builds apart: its time and its size.
QByteArray identityOf(const QString& path) {
    return QByteArray::number(GetFileDateTime(path, FileTimeKind::LastWrite), 'f', 8) + ' ' +
           QByteArray::number(QFileInfo(path).size()) + '\n';
}

// A build that did not come up is not tried again until the share holds a different one.
bool wasRejected(const Locations& locations) {
    return readRegularFile(locations.rejectedBuild()) == identityOf(locations.sharedProgram());
}

void rejectSharedBuild(const Locations& locations) {
    QSaveFile file(locations.rejectedBuild());
    const QByteArray identity = identityOf(locations.sharedProgram());
    if (file.open(QIODevice::WriteOnly) && file.write(identity) == identity.size())
        file.commit();
}

bool startsAndRuns(const QString& program, ShowCommand show, std::chrono::milliseconds wait) {
    return startAndAwaitProofOfLife(program, show, wait).has_value();
}

void handOverToCarrier(const Locations& locations, const QByteArray& publicKey) {
    if (wasRejected(locations))
        return;
    const QString carrier = locations.updateCarrier();
    if (!CopyFile(locations.sharedProgram(), carrier, CopyKind::Program))
        return;
    // The checks read the copy, which is what runs, not the share's file, which may change.
    if (!isCompleteProgram(carrier) ||
        (!publicKey.isEmpty() &&
         !isSignedBy(carrier, locations.sharedProgramSignature(), publicKey))) {
        DeleteFile(carrier);
        return;
    }
    if (startsAndRuns(carrier, ShowCommand::Hidden, carrierWait)) {
        RequestQuit();
        return;
    }
    rejectSharedBuild(locations);
}

void installFromCarrier(const Locations& locations) {
    const QString program = locations.localProgram();
    const bool hasPrevious =
        FileExists(program) && CopyFile(program, locations.previousProgram(), CopyKind::Program);
    // The copy lands by rename, so a still-running outdated instance cannot make it fail.
    if (!CopyFile(locations.executablePath, program, CopyKind::Program))
        return;
    if (startsAndRuns(program, ShowCommand::Normal, programWait)) {
        RequestQuit();
        return;
    }
    // The new build does not come up: the previous one goes back, and the share's build is not
    // tried again.
    rejectSharedBuild(locations);
    if (hasPrevious && CopyFile(locations.previousProgram(), program, CopyKind::Program) &&
        startsAndRuns(program, ShowCommand::Normal, programWait))
        RequestQuit();
}

} // namespace

void UpdateFromShare(const Locations& locations, const QByteArray& publicKey) {
    if (!locations.exactPaths)
        return;
    removeAbandonedCopies(locations.programFolder,
                          {locations.programFileName(), locations.carrierFileName(),
                           locations.programFileName() + FileNames::previousSuffix,
                           FileNames::linkList, FileNames::phoneDirectory});
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
        installFromCarrier(locations);
        return;
    case UpdateAction::HandOverToCarrier:
        handOverToCarrier(locations, publicKey);
        return;
    }
}

void CreateDesktopShortcut(const Locations& locations) {
    if (!locations.exactPaths)
        return;
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
