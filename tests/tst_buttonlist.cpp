#include "ButtonList.h"
#include "ButtonListClick.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace quvex;

namespace {

// A list of `count` buttons named "按钮0", "按钮1", … with targets "目标0", …, shown in a
// window with room for `shownRows` of them.
struct ShownList {
    explicit ShownList(int count, int shownRows = 4) {
        list.setFrameShape(QFrame::NoFrame);
        list.setShowTooltips(true);
        for (int i = 0; i < count; ++i)
            list.addButton(QStringLiteral("按钮%1").arg(i), QStringLiteral("目标%1").arg(i));
        list.resize(200, shownRows * ButtonList::buttonHeight);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
    }
    ButtonList list;
    QSignalSpy clicks{&list, &ButtonList::buttonClicked};

    QList<int> clicked() {
        QList<int> indices;
        for (const QList<QVariant>& click : std::as_const(clicks))
            indices << click.first().toInt();
        clicks.clear();
        return indices;
    }
};

QAccessibleInterface* accessibleButton(ButtonList* list, int index) {
    return QAccessible::queryAccessibleInterface(list)->child(index);
}

} // namespace

class TestButtonList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clicksOpenTheButtonUnderTheMouse();
    void pressAndReleaseMustBeOnOneButton();
    void keyboardFocusAndEnter();
    void tooltipIsThatOfTheButtonUnderTheMouse();
    void accessibleChildren();
    void filteredButtonsLeaveNoGap();
};

void TestButtonList::clicksOpenTheButtonUnderTheMouse() {
    ShownList shown(10);
    QVERIFY(shown.list.verticalScrollBar()->isVisible());
    for (int i = 0; i < 10; ++i)
        clickButton(&shown.list, i);
    QCOMPARE(shown.clicked(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // Scrolled to the end, the top row is the seventh button.
    QCOMPARE(shown.list.verticalScrollBar()->value(), 6 * ButtonList::buttonHeight);
    QTest::mouseClick(shown.list.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(shown.clicked(), QList<int>{6});

    // Below the last button of a short list nothing is pressed.
    ShownList few(2, 4);
    QVERIFY(!few.list.verticalScrollBar()->isVisible());
    QTest::mouseClick(few.list.viewport(), Qt::LeftButton, {},
                      QPoint(5, 3 * ButtonList::buttonHeight));
    QTest::mouseClick(few.list.viewport(), Qt::RightButton, {}, few.list.buttonRect(0).center());
    QVERIFY(few.clicked().isEmpty());
}

void TestButtonList::pressAndReleaseMustBeOnOneButton() {
    ShownList shown(3);
    QWidget* viewport = shown.list.viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, shown.list.buttonRect(0).center());
    QTest::mouseMove(viewport, shown.list.buttonRect(1).center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, shown.list.buttonRect(1).center());
    QVERIFY(shown.clicked().isEmpty());
    QTest::mousePress(viewport, Qt::LeftButton, {}, shown.list.buttonRect(2).center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, shown.list.buttonRect(2).topLeft());
    QCOMPARE(shown.clicked(), QList<int>{2});
}

void TestButtonList::keyboardFocusAndEnter() {
    ShownList shown(10);
    // Tab reaches the list and marks its first button; clicks do not take the focus.
    QCOMPARE(shown.list.focusPolicy(), Qt::TabFocus);
    shown.list.setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(shown.list.hasFocus());
    QCOMPARE(shown.list.current(), 0);
    QTest::keyClick(&shown.list, Qt::Key_Return);
    QTest::keyClick(&shown.list, Qt::Key_Down);
    QTest::keyClick(&shown.list, Qt::Key_Space);
    QTest::keyClick(&shown.list, Qt::Key_End);
    QCOMPARE(shown.list.current(), 9);
    QVERIFY(shown.list.viewport()->rect().contains(shown.list.buttonRect(9)));
    QTest::keyClick(&shown.list, Qt::Key_Enter);
    QTest::keyClick(&shown.list, Qt::Key_Down); // stays on the last
    QTest::keyClick(&shown.list, Qt::Key_Up);
    QTest::keyClick(&shown.list, Qt::Key_Space);
    QTest::keyClick(&shown.list, Qt::Key_Home);
    QCOMPARE(shown.list.current(), 0);
    QCOMPARE(shown.list.verticalScrollBar()->value(), 0);
    QCOMPARE(shown.clicked(), (QList<int>{0, 1, 9, 8}));
}

void TestButtonList::tooltipIsThatOfTheButtonUnderTheMouse() {
    ShownList shown(3, 6);
    shown.list.addButton(QStringLiteral("一个很长很长很长很长很长很长很长很长很长的名字"),
                         QStringLiteral("http://example.com/"));
    shown.list.addButton(QStringLiteral("没有目标"), QString());
    auto tipAt = [&](QPoint pos) {
        QToolTip::hideText();
        if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
            return QStringLiteral("(still shown)");
        QHelpEvent help(QEvent::ToolTip, pos, shown.list.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(shown.list.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(tipAt(shown.list.buttonRect(1).center()), QStringLiteral("目标1"));
    shown.list.setCurrent(4);
    QCOMPARE(tipAt(shown.list.buttonRect(3).center()),
             QStringLiteral("一个很长很长很长很长很长很长很长很长很长的名字\nhttp://example.com/"));
    QVERIFY(shown.list.shown(3).text.contains(QChar(0x2026)));
    QCOMPARE(tipAt(shown.list.buttonRect(4).center()), QStringLiteral("没有目标"));
    QCOMPARE(tipAt(QPoint(5, shown.list.viewport()->height() - 5)), QString());
}

void TestButtonList::accessibleChildren() {
    ShownList shown(30);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&shown.list);
    QCOMPARE(list->childCount(), 30);
    for (int i : {0, 29}) {
        QAccessibleInterface* button = list->child(i);
        QCOMPARE(button->role(), QAccessible::PushButton);
        QCOMPARE(button->text(QAccessible::Name), QStringLiteral("按钮%1").arg(i));
        QCOMPARE(button->text(QAccessible::Description), QStringLiteral("目标%1").arg(i));
        QCOMPARE(button->parent(), list);
        QCOMPARE(list->indexOfChild(button), i);
        QCOMPARE(button, list->child(i)); // one interface per button
        QCOMPARE(button->state().offscreen, i != 0);
        QVERIFY(button->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    QCOMPARE(shown.clicked(), (QList<int>{0, 29}));
    const QRect second = list->child(1)->rect();
    QCOMPARE(second.size(), QSize(shown.list.viewport()->width(), ButtonList::buttonHeight));
    QCOMPARE(list->childAt(second.center().x(), second.center().y()), list->child(1));

    accessibleButton(&shown.list, 7)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::setFocusAction());
    QCOMPARE(shown.list.current(), 7);
    QTRY_VERIFY(accessibleButton(&shown.list, 7)->state().focused);
    QCOMPARE(list->focusChild(), accessibleButton(&shown.list, 7));
}

void TestButtonList::filteredButtonsLeaveNoGap() {
    ShownList shown(6);
    shown.list.setCurrent(1);
    shown.list.showOnly({1, 4, 5});
    QCOMPARE(shown.list.shownButtons(), (QList<int>{1, 4, 5}));
    QCOMPARE(shown.list.buttonRect(4).top(), ButtonList::buttonHeight);
    QVERIFY(shown.list.buttonRect(2).isEmpty());
    QCOMPARE(shown.list.current(), 1);
    QTRY_VERIFY(!shown.list.verticalScrollBar()->isVisible());
    QVERIFY(accessibleButton(&shown.list, 2)->state().invisible);
    accessibleButton(&shown.list, 2)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    clickButton(&shown.list, 5);
    QCOMPARE(shown.clicked(), QList<int>{5});

    shown.list.showOnly({});
    QCOMPARE(shown.list.current(), -1);
    QTest::mouseClick(shown.list.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(shown.clicked().isEmpty());
    shown.list.showAll();
    QCOMPARE(shown.list.buttonRect(2).top(), 2 * ButtonList::buttonHeight);
}

QTEST_MAIN(TestButtonList)
#include "tst_buttonlist.moc"
