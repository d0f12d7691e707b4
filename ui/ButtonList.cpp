#include "ButtonList.h"

#include "CaptionElision.h"

#include <QButtonGroup>
#include <QEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

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
    auto* button = new QPushButton(widget());
    button->setAccessibleName(caption);
    button->setFocusPolicy(Qt::TabFocus);
    m_group->addButton(button, int(m_buttons.size()));
    m_buttons.append(button);
    m_captions.append(caption);
    m_targets.append(target);
    const int width = viewport()->width();
    widget()->resize(width, int(m_buttons.size()) * buttonHeight);
    button->setGeometry(0, (int(m_buttons.size()) - 1) * buttonHeight, width, buttonHeight);
    showCaption(int(m_buttons.size()) - 1);
}

void ButtonList::showCaption(int index) {
    QPushButton* button = m_buttons[index];
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                             style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
    const ShownCaption shown = shownCaption(m_captions[index], m_targets[index], m_showTooltips,
                                            button->fontMetrics(), button->width() - margins);
    // Names are shown as written: "&" is not a mnemonic here.
    button->setText(QString(shown.text).replace(u'&', QLatin1String("&&")));
    button->setToolTip(shown.toolTip);
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
    for (int i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i]->setGeometry(0, i * buttonHeight, width, buttonHeight);
        showCaption(i);
    }
}

} // namespace quvex
