#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace quvex {

// The current user's store of programs started at logon (the Run key on Windows, the XDG
// autostart entries on Linux).
class AutostartStore {
public:
    // The store, when it exists; it is never created.
    static std::optional<AutostartStore> open();

    // The command text of the named value, or nothing when there is none. Throws Error
    // "Invalid data type for '<name>'" when it does not hold text and "Failed to get data for
    // '<name>'" when it cannot be read.
    std::optional<QString> readText(const QString& name) const;

    // Removes the named value; a failure is ignored.
    void deleteValue(const QString& name) const;

private:
    // Whatever the platform's source needs to reach the opened store; defined there.
    struct Handle;
    explicit AutostartStore(std::shared_ptr<const Handle> handle);

    std::shared_ptr<const Handle> m_handle;
};

} // namespace quvex
