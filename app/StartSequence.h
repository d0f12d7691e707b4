#pragma once

#include <functional>
#include <vector>

namespace quvex {

using StartStep = std::function<void()>;

// Runs the steps in order. The first one that fails is reported in one ErrorBox and the rest
// are skipped. Returns how many steps completed.
int runStartSequence(const std::vector<StartStep>& steps);

} // namespace quvex
