#pragma once

#include <QScrollArea>
#include <QStringList>

class QButtonGroup;
class QPushButton;

namespace quvex {

// A column of full-width buttons, 24 pixels high, in a vertically scrolling area: the button
// list of the link groups and of the remote-office tools.
class ButtonList : public QScrollArea {
    Q_OBJECT
public:
    explicit ButtonList(QWidget* parent = nullptr);

    // Adds a button; the target travels with it as its tooltip when tooltips are on. A caption
    // too long for the button is elided in the middle (CaptionElision.h).
    void addButton(const QString& caption, const QString& target);
    void setShowTooltips(bool show) { m_showTooltips = show; }

    int count() const { return int(m_buttons.size()); }
    QString caption(int index) const { return m_captions.value(index); }
    QString target(int index) const { return m_targets.value(index); }
    QPushButton* button(int index) const { return m_buttons.value(index); }

    static constexpr int buttonHeight = 24;

Q_SIGNALS:
    void buttonClicked(int index);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void placeButtons();
    void showCaption(int index);

    QButtonGroup* m_group;
    QList<QPushButton*> m_buttons;
    QStringList m_captions;
    QStringList m_targets;
    bool m_showTooltips = false;
};

} // namespace quvex
