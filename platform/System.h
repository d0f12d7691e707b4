#pragma once

#include <QString>

#include <optional>

namespace quvex {

// The full path of the running executable, or nothing when it cannot be named exactly as text
// (a folder name that is not valid in the file-name encoding).
std::optional<QString> runningExecutablePath();

// The logon name of the user running the program; empty when it cannot be found.
QString GetLogonUserName();

// The user's desktop folder, without a trailing separator.
QString GetDesktopFolder();

} // namespace quvex
