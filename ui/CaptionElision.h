#pragma once

#include <QString>

class QFontMetrics;

namespace quvex {

// What a button (or a group's frame) shows for a caption in a given text width, and its tooltip.
struct ShownCaption {
    QString text;
    QString toolTip;
    bool operator==(const ShownCaption&) const = default;
};

// A caption longer than the width is elided in the middle with "…". The tooltip is the target
// (or the caption when there is none) where targets are shown; once the caption is elided it is
// the caption above the target, so the whole name can always be read.
ShownCaption shownCaption(const QString& caption, const QString& target, bool showTargets,
                          const QFontMetrics& metrics, int textWidth);

} // namespace quvex
