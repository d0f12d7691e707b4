#pragma once

// Descriptor-level helpers shared by the POSIX sources of this folder; no other code includes
// this header.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cerrno>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

namespace quvex::posix {

// Closes a descriptor on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now and says whether the close went well (network file systems report failed
    // writes there).
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// Reads from the file's start to its end, into bytes; false (errno set) on a read error.
inline bool readAll(int fd, QByteArray& bytes) {
    bytes.clear();
    char buffer[1 << 16];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        bytes.append(buffer, got);
        offset += got;
    }
}

// Writes all bytes at offset; false (errno set) when the file takes fewer.
inline bool writeAt(int fd, QByteArrayView bytes, off_t offset) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, data, size_t(left), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        left -= written;
        offset += written;
    }
    return true;
}

inline QString reasonOf(int error) {
    return qt_error_string(error);
}

} // namespace quvex::posix
