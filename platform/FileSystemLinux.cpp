#include "FileSystem.h"

#include "PosixFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quvex {

namespace {

using posix::Descriptor;

bool copyContents(int from, int to) {
    QByteArray bytes;
    return posix::readAll(from, bytes) && posix::writeAt(to, bytes, 0);
}

QDateTime fromTimespec(const struct timespec& time) {
    return QDateTime::fromMSecsSinceEpoch(qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000,
                                          Qt::UTC);
}

} // namespace

bool FileExists(const QString& path) {
    return QFileInfo(path).isFile();
}

bool DirectoryExists(const QString& path) {
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return S_ISDIR(info.st_mode);
    return errno == EACCES || errno == EPERM;
}

std::optional<QByteArray> readRegularFile(const QString& path, QString* reason) {
    const auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    Descriptor in(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (!in.valid() || ::fstat(in.get(), &info) != 0)
        return fail(posix::reasonOf(errno));
    if (!S_ISREG(info.st_mode))
        return fail(QStringLiteral("不是普通文件"));
    QByteArray bytes;
    if (!posix::readAll(in.get(), bytes))
        return fail(posix::reasonOf(errno));
    return bytes;
}

bool DeleteFile(const QString& path) {
    return QFile::remove(path);
}

bool CopyFile(const QString& source, const QString& destination, CopyDurability durability) {
    const QByteArray target = QFile::encodeName(destination);
    // Non-blocking, so that a pipe named like the source is refused instead of waited on.
    Descriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (!in.valid() || ::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;

    QByteArray temporary = target + ".XXXXXX";
    Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid())
        return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    const bool written =
        copyContents(in.get(), out.get()) && ::fchmod(out.get(), info.st_mode & 07777) == 0 &&
        ::futimens(out.get(), times) == 0 &&
        (durability == CopyDurability::Whole || ::fsync(out.get()) == 0) && out.close();
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

std::optional<FileTimes> fileTimes(const QString& path) {
    struct statx info;
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0,
                STATX_BTIME | STATX_ATIME | STATX_MTIME | STATX_CTIME, &info) != 0)
        return std::nullopt;
    const auto toTimespec = [](const struct statx_timestamp& t) {
        return timespec{time_t(t.tv_sec), long(t.tv_nsec)};
    };
    const bool hasBirth = info.stx_mask & STATX_BTIME;
    return FileTimes{fromTimespec(toTimespec(hasBirth ? info.stx_btime : info.stx_ctime)),
                     fromTimespec(toTimespec(info.stx_atime)),
                     fromTimespec(toTimespec(info.stx_mtime))};
}

} // namespace quvex
