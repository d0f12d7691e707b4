#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <limits>
#include <optional>

// CopyFile and DeleteFile keep the names of the Windows calls they stand for, which <windows.h>
// defines as macros. No shared header includes <windows.h>; a Windows source includes it after
// this header and then undefines both macros ("#undef CopyFile", "#undef DeleteFile") before it
// defines them, calling the system by the explicit names CopyFileW and DeleteFileW.

namespace quvex {

// True for an existing file; false for folders and for anything missing or unreachable.
bool FileExists(const QString& path);

// False when the folder or its path is not found or the name is invalid; true for a folder and
// when the system refuses to say (access denied), as the Windows attribute test does.
bool DirectoryExists(const QString& path);

// The bytes of a regular file, or nothing (with the reason when asked) when it is missing, cannot
// be read, or is anything else: a pipe or a device named like a data file must not hang a read.
// Files larger than maxSize are refused too.
std::optional<QByteArray> readRegularFile(const QString& path, QString* reason = nullptr,
                                          qint64 maxSize = std::numeric_limits<qint64>::max());

// Deletes a file; the outcome is the caller's to ignore.
bool DeleteFile(const QString& path);

// What a copy is for. A data file (which every start copies again) need only be seen whole and
// keeps the source's permissions. A program must also survive a power failure once it has landed,
// and gets the running program's permissions, so it can be run whatever the share's are.
enum class CopyKind { Data, Program };

// Copies source over destination, keeping the source's last-write time. The copy lands through a
// temporary file in the destination folder and a rename, so neither a running program nor a
// reader ever sees a half-written file. Returns whether it succeeded.
bool CopyFile(const QString& source, const QString& destination, CopyKind kind = CopyKind::Data);

// Removes the temporary files that copies onto the named files of folder left behind when they
// were killed midway, once they are older than a minute (a copy under way is younger).
void removeAbandonedCopies(const QString& folder, const QStringList& fileNames);

// Whether the file is a whole program of this platform (the format and processor of the running
// program, and every byte its headers promise). Reads the file, never runs it.
bool isCompleteProgram(const QString& path);

struct FileTimes {
    QDateTime creation; // birth time where the file system has one, else the change time
    QDateTime lastAccess;
    QDateTime lastWrite;
};

// The file's three times (UTC), or nothing when the file cannot be found.
std::optional<FileTimes> fileTimes(const QString& path);

} // namespace quvex
