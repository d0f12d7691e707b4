#include "ButtonList.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace quvex {

ButtonList::ButtonList(QWidget* parent)
    : QScrollArea(parent) {
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* content = new QWidget(this);
    m_column = new QVBoxLayout(content);
    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(0);
    m_column->addStretch(1);
    setWidget(content);
}

void ButtonList::addButton(const QString& caption, const QString& target) {
    // Names are shown as written: "&" is not a mnemonic here.
    auto* button = new QPushButton(QString(caption).replace(u'&', QLatin1String("&&")), widget());
    button->setAccessibleName(caption);
    button->setFixedHeight(buttonHeight);
    button->setFocusPolicy(Qt::TabFocus);
    // The target, or the name when there is none, shows when the mouse rests on the button.
    if (m_showTooltips)
        button->setToolTip(target.isEmpty() ? caption : target);
    const int index = int(m_buttons.size());
    connect(button, &QPushButton::clicked, this, [this, index] { Q_EMIT buttonClicked(index); });
    m_column->insertWidget(index, button);
    m_buttons.append(button);
    m_captions.append(caption);
    m_targets.append(target);
}

} // namespace quvex
