#include "FileSystem.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quvex {

namespace {

// Closes a descriptor on every path out.
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

bool writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool copyContents(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(to, buffer, got))
            return false;
    }
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

bool DeleteFile(const QString& path) {
    return QFile::remove(path);
}

bool CopyFile(const QString& source, const QString& destination, CopyDurability durability) {
    const QByteArray target = QFile::encodeName(destination);
    FileDescriptor in{::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC)};
    struct stat info;
    if (in.fd < 0 || ::fstat(in.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;

    QByteArray temporary = target + ".XXXXXX";
    FileDescriptor out{::mkostemp(temporary.data(), O_CLOEXEC)};
    if (out.fd < 0)
        return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    const bool written = copyContents(in.fd, out.fd) &&
                         ::fchmod(out.fd, info.st_mode & 07777) == 0 &&
                         ::futimens(out.fd, times) == 0 &&
                         (durability == CopyDurability::Whole || ::fsync(out.fd) == 0);
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
