#pragma once

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace quvex {

// Tahoma at the given pixel height where installed, else the system's sans-serif at the same
// height; CJK text falls back to an installed CJK font. Asking once whether Tahoma is there
// spares every text a fruitless search for it. The CJK fonts carry no hinting of their own, and
// auto-hinting every glyph the first time it is drawn cost a third of the first frame.
inline QFont uiFont(int pixelSize, bool bold = false) {
    static const bool hasTahoma = QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    QFont font = hasTahoma ? QFont(QStringLiteral("Tahoma")) : QApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace quvex
