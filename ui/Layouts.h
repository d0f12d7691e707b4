#pragma once

#include <QWidget>

namespace quvex {

// A box layout whose items touch each other and the parent's edges, as docked controls do.
template <typename BoxLayout> BoxLayout* dockedLayout(QWidget* parent) {
    auto* layout = new BoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

} // namespace quvex
