#include "FileSystem.h"

#include "PosixFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quvex {

namespace {

using posix::Descriptor;

// What mkostemp puts after the target's name.
constexpr char temporarySuffix[] = ".XXXXXX";

// The ELF identification and header fields that tell whether a file is a program of the same
// kind as the running one, and how long it must be.
struct ElfShape {
    QByteArray identification; // class, byte order, version
    quint16 type = 0;
    quint16 machine = 0;
    quint64 requiredSize = 0; // the end of the furthest header table
};

template <typename T> T field(const QByteArray& bytes, qsizetype at, bool bigEndian) {
    T value = 0;
    for (qsizetype i = 0; i < qsizetype(sizeof(T)); ++i) {
        const auto byte =
            T(static_cast<unsigned char>(bytes[at + (bigEndian ? i : sizeof(T) - 1 - i)]));
        value = T(value << 8 | byte);
    }
    return value;
}

std::optional<ElfShape> elfShape(const QByteArray& header) {
    if (header.size() < 64 || !header.startsWith("\x7f"
                                                 "ELF"))
        return std::nullopt;
    const bool wide = header[4] == 2;
    const bool bigEndian = header[5] == 2;
    ElfShape shape;
    shape.identification = header.mid(4, 3);
    shape.type = field<quint16>(header, 16, bigEndian);
    shape.machine = field<quint16>(header, 18, bigEndian);
    const quint64 programTable =
        wide ? field<quint64>(header, 32, bigEndian) : field<quint32>(header, 28, bigEndian);
    const quint64 sectionTable =
        wide ? field<quint64>(header, 40, bigEndian) : field<quint32>(header, 32, bigEndian);
    const qsizetype counts = wide ? 54 : 42;
    const quint64 programEntry = field<quint16>(header, counts, bigEndian);
    const quint64 programCount = field<quint16>(header, counts + 2, bigEndian);
    const quint64 sectionEntry = field<quint16>(header, counts + 4, bigEndian);
    const quint64 sectionCount = field<quint16>(header, counts + 6, bigEndian);
    shape.requiredSize = std::max(programTable + programEntry * programCount,
                                  sectionTable + sectionEntry * sectionCount);
    return shape;
}

std::optional<ElfShape> elfShapeOf(const char* path) {
    Descriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    QByteArray header(64, '\0');
    if (!file.valid() || ::pread(file.get(), header.data(), 64, 0) != 64)
        return std::nullopt;
    return elfShape(header);
}

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

std::optional<QByteArray> readRegularFile(const QString& path, QString* reason, qint64 maxSize) {
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
    if (info.st_size > maxSize)
        return fail(QStringLiteral("文件过大（%1 字节）").arg(info.st_size));
    QByteArray bytes;
    if (!posix::readAll(in.get(), bytes))
        return fail(posix::reasonOf(errno));
    return bytes;
}

bool DeleteFile(const QString& path) {
    return QFile::remove(path);
}

bool CopyFile(const QString& source, const QString& destination, CopyKind kind) {
    const QByteArray target = QFile::encodeName(destination);
    // Non-blocking, so that a pipe named like the source is refused instead of waited on.
    Descriptor in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (!in.valid() || ::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;

    mode_t mode = info.st_mode & 07777;
    if (kind == CopyKind::Program) {
        struct stat running;
        if (::stat("/proc/self/exe", &running) != 0)
            return false;
        mode = running.st_mode & 0777;
    }
    QByteArray temporary = target + temporarySuffix;
    Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid())
        return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    const bool written = copyContents(in.get(), out.get()) && ::fchmod(out.get(), mode) == 0 &&
                         ::futimens(out.get(), times) == 0 &&
                         (kind == CopyKind::Data || ::fsync(out.get()) == 0) && out.close();
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

void removeAbandonedCopies(const QString& folder, const QStringList& fileNames) {
    const QDateTime aMinuteAgo = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QRegularExpression temporary(QStringLiteral("^.+\\.[A-Za-z0-9_]{6}$"));
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        const QString name = entry.fileName();
        if (temporary.match(name).hasMatch() &&
            fileNames.contains(name.chopped(sizeof temporarySuffix - 1)) &&
            entry.lastModified().toUTC() < aMinuteAgo)
            QFile::remove(entry.filePath());
    }
}

bool isCompleteProgram(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const std::optional<ElfShape> running = elfShapeOf("/proc/self/exe");
    const std::optional<ElfShape> candidate = elfShapeOf(native.constData());
    struct stat info;
    if (!running || !candidate || ::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const bool executable = candidate->type == 2 /* ET_EXEC */ || candidate->type == 3 /* ET_DYN */;
    return executable && candidate->identification == running->identification &&
           candidate->machine == running->machine &&
           quint64(info.st_size) >= candidate->requiredSize;
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
