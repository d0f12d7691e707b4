#include "CaptionElision.h"

#include <QFontMetrics>

namespace quvex {

ShownCaption shownCaption(const QString& caption, const QString& target, bool showTargets,
                          const QFontMetrics& metrics, int textWidth) {
    const QString text = metrics.elidedText(caption, Qt::ElideMiddle, textWidth);
    if (text == caption)
        return {caption, showTargets ? (target.isEmpty() ? caption : target) : QString()};
    const bool withTarget = showTargets && !target.isEmpty();
    return {text, withTarget ? caption + u'\n' + target : caption};
}

} // namespace quvex
