#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QStringList>

#include "CaptionElision.h"

class QStyleOptionButton;

namespace quvex {

// A column of full-width buttons, 24 pixels high, in a vertically scrolling area: the button
// list of the link groups and of the remote-office tools. It is one widget that paints its
// buttons with the style, so that a page of thousands of links costs one widget per group.
// Each button is one accessible child (ButtonListAccessible.h), named by its caption.
class ButtonList : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ButtonList(QWidget* parent = nullptr);

    // Adds a button; the target travels with it as its tooltip when tooltips are on. A caption
    // too long for the button is elided in the middle (CaptionElision.h).
    void addButton(const QString& caption, const QString& target);
    void setShowTooltips(bool show);

    int count() const { return int(m_captions.size()); }
    QString caption(int index) const { return m_captions.value(index); }
    QString target(int index) const { return m_targets.value(index); }

    // What the button shows and its tooltip, at the list's current width.
    ShownCaption shown(int index) const;
    // The button's place in the viewport, empty while it is filtered out.
    QRect buttonRect(int index) const;
    int buttonAt(QPoint viewportPos) const;

    // Shows only the given buttons, in list order; the others keep their index.
    void showOnly(const QList<int>& indices);
    void showAll();
    bool isShown(int index) const;
    // Buttons now shown, in order.
    QList<int> shownButtons() const { return m_shown; }

    // The button marked for the keyboard, which Enter or Space presses; -1 for none. It is
    // drawn marked even while the focus is elsewhere (the link filter keeps it in its field).
    int current() const { return m_current; }
    void setCurrent(int index);

    // Does what a click on the button does.
    void press(int index);

    static constexpr int buttonHeight = 24;

Q_SIGNALS:
    void buttonClicked(int index);
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int rowOf(int index) const;
    void initStyleOption(QStyleOptionButton* option, int index) const;
    void updateScrollRange();
    void updateButton(int index);
    void setHovered(int index);
    void ensureVisible(int index);
    int textWidth() const;

    QStringList m_captions;
    QStringList m_targets;
    // Indices of the shown buttons, and each button's row among them (-1 when filtered out).
    QList<int> m_shown;
    QList<int> m_rows;
    // Elided captions are worked out when first needed and forgotten when the width changes.
    mutable QList<ShownCaption> m_shownCaptions;
    mutable QList<bool> m_shownCaptionKnown;
    bool m_showTooltips = false;
    int m_hovered = -1;
    int m_pressed = -1;
    int m_current = -1;
};

} // namespace quvex
