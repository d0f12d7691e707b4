#include "StartSequence.h"

#include "Guard.h"

namespace quvex {

int runStartSequence(const std::vector<StartStep>& steps) {
    int completed = 0;
    for (const StartStep& step : steps) {
        if (!guarded(step))
            break;
        ++completed;
    }
    return completed;
}

} // namespace quvex
