#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace quvex {

struct StartStep {
    QString name;
    std::function<void()> run;
};

// Runs the steps in order. The first one that fails is reported in one ErrorBox and the rest
// are skipped. Returns how many steps completed.
int runStartSequence(const std::vector<StartStep>& steps);

} // namespace quvex
