#include "ButtonList.h"

#include "ButtonListAccessible.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

namespace quvex {

ButtonList::ButtonList(QWidget* parent)
    : QAbstractScrollArea(parent) {
    installButtonListAccessibility();
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::TabFocus);
    viewport()->setMouseTracking(true);
    viewport()->setBackgroundRole(QPalette::Window);
    verticalScrollBar()->setSingleStep(buttonHeight);
}

void ButtonList::addButton(const QString& caption, const QString& target) {
    const int index = count();
    m_captions.append(caption);
    m_targets.append(target);
    m_rows.append(int(m_shown.size()));
    m_shown.append(index);
    if (!m_shownCaptionKnown.isEmpty()) {
        m_shownCaptions.append(ShownCaption{});
        m_shownCaptionKnown.append(false);
    }
    updateScrollRange();
    updateButton(index);
}

void ButtonList::setShowTooltips(bool show) {
    m_showTooltips = show;
    m_shownCaptionKnown.clear();
}

int ButtonList::textWidth() const {
    QStyleOptionButton option;
    option.initFrom(this);
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) +
                             style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this));
    return viewport()->width() - margins;
}

ShownCaption ButtonList::shown(int index) const {
    if (index < 0 || index >= count())
        return {};
    if (m_shownCaptionKnown.isEmpty()) {
        m_shownCaptions.resize(count());
        m_shownCaptionKnown.resize(count());
    }
    if (!m_shownCaptionKnown[index]) {
        m_shownCaptions[index] = shownCaption(m_captions[index], m_targets[index], m_showTooltips,
                                              fontMetrics(), textWidth());
        m_shownCaptionKnown[index] = true;
    }
    return m_shownCaptions[index];
}

int ButtonList::rowOf(int index) const {
    return index >= 0 && index < count() ? m_rows[index] : -1;
}

QRect ButtonList::buttonRect(int index) const {
    const int row = rowOf(index);
    if (row < 0)
        return {};
    return {0, row * buttonHeight - verticalScrollBar()->value(), viewport()->width(),
            buttonHeight};
}

int ButtonList::buttonAt(QPoint viewportPos) const {
    if (!viewport()->rect().contains(viewportPos))
        return -1;
    const int row = (viewportPos.y() + verticalScrollBar()->value()) / buttonHeight;
    return row < m_shown.size() ? m_shown[row] : -1;
}

void ButtonList::showOnly(const QList<int>& indices) {
    m_rows.fill(-1);
    m_shown.clear();
    for (int index : indices) {
        if (index >= 0 && index < count() && m_rows[index] < 0) {
            m_rows[index] = int(m_shown.size());
            m_shown.append(index);
        }
    }
    if (!isShown(m_current))
        setCurrent(-1);
    m_hovered = -1;
    m_pressed = -1;
    updateScrollRange();
    viewport()->update();
    QAccessibleEvent event(this, QAccessible::VisibleDataChanged);
    QAccessible::updateAccessibility(&event);
}

void ButtonList::showAll() {
    QList<int> all(count());
    for (int i = 0; i < count(); ++i)
        all[i] = i;
    showOnly(all);
}

bool ButtonList::isShown(int index) const {
    return rowOf(index) >= 0;
}

void ButtonList::setCurrent(int index) {
    if (!isShown(index))
        index = -1;
    if (index == m_current)
        return;
    updateButton(m_current);
    m_current = index;
    updateButton(m_current);
    ensureVisible(m_current);
    if (m_current >= 0 && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(m_current);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT currentChanged(m_current);
}

void ButtonList::press(int index) {
    if (isShown(index))
        Q_EMIT buttonClicked(index);
}

void ButtonList::updateScrollRange() {
    const int height = int(m_shown.size()) * buttonHeight;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, qMax(0, height - viewport()->height()));
}

void ButtonList::updateButton(int index) {
    const QRect rect = buttonRect(index);
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void ButtonList::ensureVisible(int index) {
    const int row = rowOf(index);
    if (row < 0)
        return;
    QScrollBar* bar = verticalScrollBar();
    const int top = row * buttonHeight;
    if (top < bar->value())
        bar->setValue(top);
    else if (top + buttonHeight > bar->value() + viewport()->height())
        bar->setValue(top + buttonHeight - viewport()->height());
}

void ButtonList::initStyleOption(QStyleOptionButton* option, int index) const {
    option->initFrom(this);
    option->rect = buttonRect(index);
    option->state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    option->state |= QStyle::State_Raised;
    if (index == m_hovered && isEnabled())
        option->state |= QStyle::State_MouseOver;
    if (index == m_pressed && index == m_hovered)
        option->state = (option->state & ~QStyle::State_Raised) | QStyle::State_Sunken;
    if (index == m_current)
        option->state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    // Names are shown as written: "&" is not a mnemonic here.
    option->text = QString(shown(index).text).replace(u'&', QLatin1String("&&"));
}

void ButtonList::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const int offset = verticalScrollBar()->value();
    const int first = qMax(0, (exposed.top() + offset) / buttonHeight);
    const int last = qMin(int(m_shown.size()) - 1, (exposed.bottom() + offset) / buttonHeight);
    QStyleOptionButton option;
    for (int row = first; row <= last; ++row) {
        const int index = m_shown[row];
        initStyleOption(&option, index);
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
    }
}

// The viewport's resizes arrive here, also when the scroll bar comes or goes.
void ButtonList::resizeEvent(QResizeEvent* event) {
    m_shownCaptionKnown.clear();
    m_shownCaptions.clear();
    updateScrollRange();
    QAbstractScrollArea::resizeEvent(event);
}

void ButtonList::scrollContentsBy(int, int) {
    viewport()->update();
}

bool ButtonList::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = buttonAt(help->pos());
        const QString tip = shown(index).toolTip;
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), buttonRect(index));
        return true;
    }
    case QEvent::Leave:
        setHovered(-1);
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ButtonList::setHovered(int index) {
    if (index == m_hovered)
        return;
    updateButton(m_hovered);
    m_hovered = index;
    updateButton(m_hovered);
}

void ButtonList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int index = buttonAt(event->position().toPoint());
    setHovered(index);
    m_pressed = index;
    updateButton(index);
}

void ButtonList::mouseMoveEvent(QMouseEvent* event) {
    setHovered(buttonAt(event->position().toPoint()));
}

void ButtonList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int pressed = m_pressed;
    m_pressed = -1;
    updateButton(pressed);
    // As a push button does: the click counts only when released over the pressed button.
    if (pressed >= 0 && buttonAt(event->position().toPoint()) == pressed)
        press(pressed);
}

void ButtonList::keyPressEvent(QKeyEvent* event) {
    const int row = rowOf(m_current);
    const int last = int(m_shown.size()) - 1;
    const int rowsPerPage = qMax(1, viewport()->height() / buttonHeight);
    auto moveTo = [this, last](int target) {
        if (last >= 0)
            setCurrent(m_shown[qBound(0, target, last)]);
    };
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->isAutoRepeat() || m_current < 0)
            break;
        press(m_current);
        return;
    case Qt::Key_Up:
        moveTo(row < 0 ? last : row - 1);
        return;
    case Qt::Key_Down:
        moveTo(row + 1);
        return;
    case Qt::Key_PageUp:
        moveTo(row - rowsPerPage);
        return;
    case Qt::Key_PageDown:
        moveTo(row + rowsPerPage);
        return;
    case Qt::Key_Home:
        moveTo(0);
        return;
    case Qt::Key_End:
        moveTo(last);
        return;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void ButtonList::focusInEvent(QFocusEvent* event) {
    if (m_current < 0 && !m_shown.isEmpty())
        setCurrent(m_shown.first());
    QAbstractScrollArea::focusInEvent(event);
}

void ButtonList::focusOutEvent(QFocusEvent* event) {
    // The mark leaves with the focus, but not for a menu or another window.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        setCurrent(-1);
    QAbstractScrollArea::focusOutEvent(event);
}

} // namespace quvex
