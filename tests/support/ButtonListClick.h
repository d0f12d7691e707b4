#pragma once

#include "ButtonList.h"

#include <QTest>

// A real mouse click at the middle of one button of a list, scrolled into view first.
inline void clickButton(quvex::ButtonList* list, int index) {
    list->setCurrent(index); // scrolls it into view
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->buttonRect(index).center());
}
