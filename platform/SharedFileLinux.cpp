#include "SharedFile.h"

#include "PosixFile.h"

#include <QFile>

#include <QDeadlineTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quvex {

namespace {

using posix::Descriptor;
using posix::readAll;
using posix::reasonOf;
using posix::writeAt;

void interrupt(int) {}

// The signal that ends a lock wait: a real-time one nothing else of the program uses.
int lockWaitSignal() {
    static const int signal = [] {
        const int chosen = SIGRTMIN + 5;
        struct sigaction action = {};
        action.sa_handler = interrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: the wait must return with EINTR
        ::sigaction(chosen, &action, nullptr);
        return chosen;
    }();
    return signal;
}

enum class LockOutcome { Locked, Busy, Failed };

// Takes an fcntl lock on the whole file. Waiters sleep in the kernel and are woken as the
// holder lets go; a timer aimed at this thread ends the wait after lockWait.
LockOutcome lockWhole(int fd, short type, std::chrono::milliseconds lockWait) {
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    if (::fcntl(fd, F_SETLK, &range) == 0)
        return LockOutcome::Locked;
    if (errno != EACCES && errno != EAGAIN)
        return LockOutcome::Failed;

    const int signal = lockWaitSignal();
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigset_t previous;
    ::pthread_sigmask(SIG_UNBLOCK, &only, &previous);
    struct sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = signal;
    event._sigev_un._tid = ::gettid();
    timer_t timer;
    if (::timer_create(CLOCK_MONOTONIC, &event, &timer) != 0) {
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return LockOutcome::Failed;
    }
    const auto toTimespec = [](std::chrono::milliseconds ms) {
        return timespec{time_t(ms.count() / 1000), long(ms.count() % 1000) * 1000000};
    };
    // It fires again and again after the first time, so a signal that arrives just before the
    // wait begins cannot leave it waiting for ever.
    const struct itimerspec when = {toTimespec(std::chrono::milliseconds(20)),
                                    toTimespec(std::max(lockWait, std::chrono::milliseconds(1)))};
    ::timer_settime(timer, 0, &when, nullptr);
    const QDeadlineTimer deadline(lockWait);
    LockOutcome outcome = LockOutcome::Failed;
    for (;;) {
        if (::fcntl(fd, F_SETLKW, &range) == 0) {
            outcome = LockOutcome::Locked;
            break;
        }
        if (errno != EINTR)
            break;
        if (deadline.hasExpired()) {
            outcome = LockOutcome::Busy;
            break;
        }
    }
    ::timer_delete(timer);
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return outcome;
}

std::optional<QString> lockFailure(LockOutcome outcome) {
    if (outcome == LockOutcome::Busy)
        return fileBusyReason();
    if (outcome == LockOutcome::Failed)
        return reasonOf(errno);
    return std::nullopt;
}

// The process's umask, which a newly created file would have been given.
mode_t currentUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}

bool refusesNewFiles(int error) {
    return error == EACCES || error == EPERM;
}

// The in-place path, for folders that refuse new files: the file is locked itself, and the part
// beyond its old end is written first, so a file system without room fails before anything of
// the old content is touched.
// refusal is why the folder refused a new file: the reason to give when the file is missing too.
std::optional<QString> rewriteInPlace(const QByteArray& native, const FileEdit& edit,
                                      std::chrono::milliseconds lockWait, int refusal) {
    for (;;) {
        Descriptor file(::open(native.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
        if (!file.valid())
            return reasonOf(errno == ENOENT ? refusal : errno);
        struct stat opened;
        if (::fstat(file.get(), &opened) != 0)
            return reasonOf(errno);
        if (!S_ISREG(opened.st_mode))
            return QStringLiteral("不是普通文件");
        if (const auto failure = lockFailure(lockWhole(file.get(), F_WRLCK, lockWait)))
            return failure;
        // A writer that could replace the file may have done so while this one waited: then
        // lock the file that is there now.
        struct stat now;
        if (::stat(native.constData(), &now) != 0 || now.st_ino != opened.st_ino ||
            now.st_dev != opened.st_dev)
            continue;

        QByteArray current;
        if (!readAll(file.get(), current))
            return reasonOf(errno);
        const std::optional<QByteArray> bytes = edit(current);
        if (!bytes || *bytes == current)
            return std::nullopt;
        const off_t oldSize = off_t(current.size());
        const off_t newSize = off_t(bytes->size());
        if (newSize > oldSize) {
            if (!writeAt(file.get(), QByteArrayView(*bytes).sliced(oldSize), oldSize) ||
                ::fsync(file.get()) != 0) {
                const int error = errno;
                ::ftruncate(file.get(), oldSize);
                ::fsync(file.get());
                return reasonOf(error);
            }
        }
        const qsizetype common = std::min(current.size(), bytes->size());
        if (!writeAt(file.get(), QByteArrayView(*bytes).first(common), 0)) {
            const int error = errno;
            writeAt(file.get(), current, 0); // the old content, as far as the file takes it
            ::ftruncate(file.get(), oldSize);
            return reasonOf(error);
        }
        if ((newSize < oldSize && ::ftruncate(file.get(), newSize) != 0) ||
            ::fsync(file.get()) != 0)
            return reasonOf(errno);
        return std::nullopt;
    }
}

} // namespace

QString fileBusyReason() {
    return QStringLiteral("文件正被其他程序使用");
}

std::optional<QString> rewriteSharedFile(const QString& path, const FileEdit& edit,
                                         std::chrono::milliseconds lockWait) {
    const QByteArray native = QFile::encodeName(path);
    // The lock lives in a file of its own beside the target, held open: the target itself is
    // replaced by every write.
    Descriptor lock(::open((native + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (!lock.valid()) {
        if (refusesNewFiles(errno))
            return rewriteInPlace(native, edit, lockWait, errno);
        return reasonOf(errno);
    }
    if (const auto failure = lockFailure(lockWhole(lock.get(), F_WRLCK, lockWait)))
        return failure;

    // A read lock on the target keeps out writers that rewrite it in place.
    std::optional<QByteArray> current;
    mode_t mode = 0666 & ~currentUmask();
    {
        Descriptor target(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!target.valid() && errno != ENOENT)
            return reasonOf(errno);
        if (target.valid()) {
            struct stat info;
            if (::fstat(target.get(), &info) != 0)
                return reasonOf(errno);
            if (!S_ISREG(info.st_mode))
                return QStringLiteral("不是普通文件");
            mode = info.st_mode & 07777;
            if (const auto failure = lockFailure(lockWhole(target.get(), F_RDLCK, lockWait)))
                return failure;
            current.emplace();
            if (!readAll(target.get(), *current))
                return reasonOf(errno);
        }
        const std::optional<QByteArray> bytes = edit(current);
        if (!bytes || bytes == current)
            return std::nullopt;

        QByteArray temporary = native + ".XXXXXX";
        Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
        if (!out.valid()) {
            const int refusal = errno;
            if (!refusesNewFiles(refusal))
                return reasonOf(refusal);
            // Closing the target's descriptor lets go of its read lock, as the in-place path
            // must take it for writing; the lock file still keeps the others out.
            target.close();
            return rewriteInPlace(native, edit, lockWait, refusal);
        }
        const bool landed = writeAt(out.get(), *bytes, 0) && ::fchmod(out.get(), mode) == 0 &&
                            ::fsync(out.get()) == 0 && out.close() &&
                            ::rename(temporary.constData(), native.constData()) == 0;
        if (!landed) {
            const int error = errno;
            ::unlink(temporary.constData());
            return reasonOf(error);
        }
    }
    return std::nullopt;
}

} // namespace quvex
