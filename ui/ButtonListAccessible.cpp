#include "ButtonListAccessible.h"

#include "ButtonList.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace quvex {

namespace {

// One button of a list. It has no object of its own; it is kept in the accessibility cache by
// the list's interface, which removes it when the list goes.
class ButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ButtonAccessible(ButtonList* list, int index)
        : m_list(list)
        , m_index(index) {}

    bool isValid() const override { return m_list && m_index < m_list->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_list.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return m_list->caption(m_index);
        case QAccessible::Description:
            return m_list->target(m_index);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = m_list->buttonRect(m_index);
        return QRect(m_list->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid() || !m_list->isShown(m_index)) {
            state.invisible = true;
            return state;
        }
        const QRect shown = m_list->buttonRect(m_index);
        state.offscreen = !m_list->isVisible() || !m_list->viewport()->rect().intersects(shown);
        state.focusable = true;
        state.focused = m_list->hasFocus() && m_list->current() == m_index;
        state.disabled = !m_list->isEnabled();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        if (!isValid())
            return;
        if (action == pressAction()) {
            m_list->press(m_index);
        } else if (action == setFocusAction()) {
            m_list->setFocus(Qt::OtherFocusReason);
            m_list->setCurrent(m_index);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<ButtonList> m_list;
    int m_index;
};

// The list: its children are its buttons, in order, filtered ones included (as invisible).
class ButtonListAccessible : public QAccessibleWidget {
public:
    explicit ButtonListAccessible(ButtonList* list)
        : QAccessibleWidget(list, QAccessible::Grouping) {}
    ~ButtonListAccessible() override {
        for (QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return list()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= list()->count())
            return nullptr;
        auto found = m_children.constFind(index);
        if (found != m_children.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto* button = new ButtonAccessible(list(), index);
        m_children.insert(index, QAccessible::registerAccessibleInterface(button));
        return button;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_children.constBegin(); it != m_children.constEnd(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = list()->viewport()->mapFromGlobal(QPoint(x, y));
        return child(list()->buttonAt(local));
    }
    QAccessibleInterface* focusChild() const override {
        if (list()->hasFocus() && list()->current() >= 0)
            return child(list()->current());
        return QAccessibleWidget::focusChild();
    }

private:
    ButtonList* list() const { return static_cast<ButtonList*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_children;
};

QAccessibleInterface* buttonListFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("quvex::ButtonList") && object && object->isWidgetType())
        return new ButtonListAccessible(static_cast<ButtonList*>(object));
    return nullptr;
}

} // namespace

void installButtonListAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(buttonListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace quvex
