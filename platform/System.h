#pragma once

#include <QString>

namespace quvex {

// The logon name of the user running the program; empty when it cannot be found.
QString GetLogonUserName();

// The user's desktop folder, without a trailing separator.
QString GetDesktopFolder();

} // namespace quvex
