#include "ButtonList.h"

#include <QButtonGroup>
#include <QEvent>
#include <QPushButton>
#include <QScrollBar>

namespace quvex {

ButtonList::ButtonList(QWidget* parent)
    : QScrollArea(parent)
    , m_group(new QButtonGroup(this)) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidget(new QWidget(this));
    connect(m_group, &QButtonGroup::idClicked, this, &ButtonList::buttonClicked);
}

void ButtonList::addButton(const QString& caption, const QString& target) {
    // Names are shown as written: "&" is not a mnemonic here.
    auto* button = new QPushButton(QString(caption).replace(u'&', QLatin1String("&&")), widget());
    button->setAccessibleName(caption);
    button->setFocusPolicy(Qt::TabFocus);
    // The target, or the name when there is none, shows when the mouse rests on the button.
    if (m_showTooltips)
        button->setToolTip(target.isEmpty() ? caption : target);
    m_group->addButton(button, int(m_buttons.size()));
    m_buttons.append(button);
    m_captions.append(caption);
    m_targets.append(target);
    const int width = viewport()->width();
    widget()->resize(width, int(m_buttons.size()) * buttonHeight);
    button->setGeometry(0, (int(m_buttons.size()) - 1) * buttonHeight, width, buttonHeight);
}

bool ButtonList::viewportEvent(QEvent* event) {
    // Also when the scroll bar comes or goes and the viewport narrows or widens.
    if (event->type() == QEvent::Resize)
        placeButtons();
    return QScrollArea::viewportEvent(event);
}

// Buttons are placed by hand rather than by a layout: a page of many lists builds much faster.
void ButtonList::placeButtons() {
    const int width = viewport()->width();
    widget()->resize(width, int(m_buttons.size()) * buttonHeight);
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setGeometry(0, i * buttonHeight, width, buttonHeight);
}

} // namespace quvex
