#pragma once

#include <QFont>

namespace quvex {

// Tahoma at the given pixel height where installed, else the system's sans-serif at the same
// height; CJK text falls back to an installed CJK font.
inline QFont uiFont(int pixelSize, bool bold = false) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace quvex
