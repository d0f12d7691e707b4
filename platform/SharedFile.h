#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

namespace quvex {

// The new content of a file computed from its current one (nothing when the file is missing).
// Returning nothing leaves the file as it is. May throw; the file is then left as it was.
using FileEdit = std::function<std::optional<QByteArray>(const std::optional<QByteArray>& current)>;

// The text a failed rewrite gives when another writer held the file for the whole wait.
QString fileBusyReason();

// Rewrites a file that programs on several computers read and write at once. Every writer takes
// one lock (waiting for it in the kernel, at most lockWait); under it the file is read, edited
// and replaced whole through a temporary file beside it, so a reader never sees half a file.
// Only where the folder refuses new files is the file locked itself and rewritten in place,
// after the new content is known to fit. Returns why it failed, or nothing; on a failure the
// file is byte for byte as it was.
std::optional<QString> rewriteSharedFile(const QString& path, const FileEdit& edit,
                                         std::chrono::milliseconds lockWait);

} // namespace quvex
