#include "Guard.h"

#include "Error.h"
#include "MessageBoxes.h"

#include <QString>

namespace quvex {

bool guarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const Error& e) {
        ErrorBox(e.message());
    } catch (const std::exception& e) {
        ErrorBox(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

} // namespace quvex
