#include "ButtonList.h"
#include "ButtonListClick.h"
#include "RecordingDesktop.h"
#include "System.h"
#include "TempShare.h"
#include "UnitMain.h"
#include "ValuesCatalogue.h"
#include "ValuesMail.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using namespace quvex;
using namespace quvex::test;

namespace {

const QString mailStart = QStringLiteral("mailto:values@example.com?cc=hr@example.com&subject=");

// The first line of every explanation, by check box.
const QMap<QString, QString> firstLines = {
    {"CheckBox2", "2分：理解并体谅客户需求"},
    {"CheckBox5", "5分：预测需求超前服务"},
    {"CheckBox1", "1分：尊重客户（最低要求）"},
    {"CheckBox4", "3分：微笑面对委屈和客户投诉"},
    {"CheckBox3", "4分：超越职责承担责任（非自己的职责也不推诿）"},
    {"CheckBox11", "1分：诚实正直"},
    {"CheckBox12", "2分：说到做到，告诉客户真相"},
    {"CheckBox13", "4分：传播真善美，承担社会责任"},
    {"CheckBox14", "5分：有效主动制止损害团队或客户的行为"},
    {"CheckBox15", "3分：勇于认错和承担，及时改正"},
    {"CheckBox6", "认可并积极融入团队"},
    {"CheckBox7", "4分：主动提供团队帮助，分享经验"},
    {"CheckBox8", "3. 群策群力参与决策，100%执行决定！"},
    {"CheckBox9", "做好团队成员的本职工作，不做团队短板"},
    {"CheckBox10", "本款的关键含义是：传播正能量，感染身边的人  要点如下："},
    {"CheckBox21", "1分：明确自我及团队工作目标"},
    {"CheckBox22", "2分：有计划地工作，主动改进自己工作效率和方法；"},
    {"CheckBox23", "4分：主动分享自己的成功和失败经验，并得到对方的认可和表扬"},
    {"CheckBox24", "3分：从系统和根部解决问题"},
    {"CheckBox25", "5分：将案例书面存档，并撰写或优化现有SOP、培训文档，方便后人不再走弯路"},
    {"CheckBox16", "1分：平和接受日常变化"},
    {"CheckBox17", "2分：积极诚意配合，实际行动支持创新"},
    {"CheckBox18", "3分：善于发现工作节点，提出改进方法"},
    {"CheckBox19", "4分：通过实际行动改进工作流程、提高工作效率"},
    {"CheckBox20", "5分：力推创新，并带来业绩的突破"},
};

} // namespace

class TestPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void percentEncode_data();
    void percentEncode();
    void catalogueContent();
    void valuesMail_data();
    void valuesMail();
    void behaviourClickShowsItsExplanation();
    void remoteTools();
    void remoteGuide();
};

void TestPages::percentEncode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty selection")
        << QStringLiteral("values  ,好").toUtf8() << "values++%2C%E5%A5%BD";
    QTest::newRow("group text") << QStringLiteral("[客户]:").toUtf8()
                                << "%5B%E5%AE%A2%E6%88%B7%5D%3A";
    QTest::newRow("kept characters") << QByteArray("AZaz09!$'()*-.@_") << "AZaz09!$'()*-.@_";
    QTest::newRow("reserved characters")
        << QByteArray("&#%+~/;=?") << "%26%23%25%2B%7E%2F%3B%3D%3F";
    QTest::newRow("zero byte ends it") << QByteArray("a b\0c d", 7) << "a+b";
}

void TestPages::percentEncode() {
    QFETCH(QByteArray, bytes);
    QTEST(PercentEncode(bytes), "encoded");
}

void TestPages::catalogueContent() {
    QFile file(QStringLiteral(":/quvex/values_catalogue.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<ValueGroup> catalogue = parseValuesCatalogue(file.readAll());
    QStringList captions;
    int behaviours = 0;
    for (const ValueGroup& group : catalogue) {
        captions << group.caption;
        for (const ValueBehaviour& behaviour : group.behaviours) {
            ++behaviours;
            const QString& text = behaviour.explanation;
            QVERIFY2(text.startsWith(firstLines.value(behaviour.name) + QStringLiteral("\r\n")),
                     qPrintable(behaviour.name));
            QVERIFY2(text.size() >= 90 && text.size() <= 550, qPrintable(behaviour.name));
            QVERIFY(!text.contains(QRegularExpression(QStringLiteral("\r(?!\n)|(?<!\r)\n"))));
        }
    }
    QCOMPARE(behaviours, 25);
    QCOMPARE(captions, (QStringList{"客户", "诚信", "团队", "系统", "创新"}));
}

void TestPages::valuesMail_data() {
    QTest::addColumn<QStringList>("ticks");
    QTest::addColumn<QString>("names");
    QTest::addColumn<bool>("veryGood");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("subject");

    QTest::newRow("nothing ticked, encoded") << QStringList{} << "" << false << "Button5"
                                             << "values++%2C%E5%A5%BD";
    QTest::newRow("groups in stored order, whatever their columns")
        << QStringList{"CheckBox20", "CheckBox21", "CheckBox6", "CheckBox11", "CheckBox1"} << "张三"
        << false << "Button3"
        << "values [客户]:1.尊重客户;[诚信]:1.诚实可信，不损人不利己;[团队]:1.认可并积极融入团队;"
           "[系统]:1.明确自我及团队工作目标;[创新]:5.力推创新，并带来业绩的突破; 张三,好";
    QTest::newRow("behaviours in stored order, no separator")
        << QStringList{"CheckBox1", "CheckBox2"} << "" << false << "Button3"
        << "values [客户]:2.理解并体谅客户需求1.尊重客户; ,好";
    QTest::newRow("很好") << QStringList{} << "李四" << true << "Button3"
                          << "values  李四,很好";
    QTest::newRow("names with & and # stay raw")
        << QStringList{} << "张三&李四#1" << false << "Button3"
        << "values  张三&李四#1,好";
    QTest::newRow("names with & and # encoded")
        << QStringList{"CheckBox10"} << "A&B" << false << "Button5"
        << "values+%5B%E5%9B%A2%E9%98%9F%5D%3A5.%E7%A7%AF%E6%9E%81%E6%AD%A3%E9%9D%A2%E5%9C%B0%E5%"
           "BD%B1"
           "%E5%93%8D%E5%9B%A2%E9%98%9F%EF%BC%8C%E6%94%B9%E5%96%84%E5%9B%A2%E9%98%9F%E5%A3%AB%E6%"
           "B0%94"
           "%E5%92%8C%E6%B0%9B%E5%9B%B4+%3B+A%26B%2C%E5%A5%BD";
}

void TestPages::valuesMail() {
    QFETCH(QStringList, ticks);
    QFETCH(QString, names);
    QFETCH(bool, veryGood);
    QFETCH(QString, button);
    QFETCH(QString, subject);
    const TempShare share;
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.show();
    form.findChild<QTabWidget*>()->setCurrentIndex(2);
    QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("RadioButtonGood"))->isChecked());
    for (const char* name : {"LabeledEditValueNameList", "RadioButtonGood", "RadioButtonVaryGood",
                             "Button5", "Button3", "MemoValue", "CheckBox2", "GroupBox6"})
        QVERIFY2(form.findChild<QWidget*>(QLatin1String(name))->isVisible(), name);
    for (const QString& tick : ticks)
        QTest::mouseClick(form.findChild<QCheckBox*>(tick), Qt::LeftButton);
    form.findChild<QLineEdit*>(QStringLiteral("LabeledEditValueNameList"))->setText(names);
    if (veryGood)
        QTest::mouseClick(form.findChild<QRadioButton*>(QStringLiteral("RadioButtonVaryGood")),
                          Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(desktop.settledCalls(),
             (QList<QStringList>{{QStringLiteral("xdg-open"), mailStart + subject}}));
}

void TestPages::behaviourClickShowsItsExplanation() {
    const TempShare share;
    TForm_quvex form(share.locations(), share.config());
    form.show();
    form.findChild<QTabWidget*>()->setCurrentIndex(2);
    auto* box = form.findChild<QCheckBox*>(QStringLiteral("CheckBox10"));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("LabelValueHint"))->text(),
             QStringLiteral("Tips:5.积极正面地影响团队，改善团队士气和氛围 "));
    const QString memo =
        form.findChild<QPlainTextEdit*>(QStringLiteral("MemoValue"))->toPlainText();
    QVERIFY(memo.startsWith(firstLines.value(QStringLiteral("CheckBox10")) + u'\n'));
    QVERIFY(!memo.contains(u'\r'));
    QCOMPARE(memo.count(u'\n'), 4);
}

void TestPages::remoteTools() {
    TempShare share;
    QDir().mkpath(QDir::homePath() + QStringLiteral("/Desktop/Tovik"));
    const RecordingDesktop desktop({"xdg-open", "xdg-email", "libreoffice", "gnome-control-center",
                                    "gnome-system-monitor", "sensible-browser"});
    TForm_quvex form(share.locations(), share.config());
    form.show();
    form.findChild<QTabWidget*>()->setCurrentIndex(1);
    auto* tools = form.findChild<ButtonList*>(QStringLiteral("ButtonGroup_remoteoa"));
    QCOMPARE(tools->count(), 11);
    QVERIFY(tools->isVisible() && tools->viewport()->rect().contains(tools->buttonRect(10)));
    QVERIFY(form.findChild<QWidget*>(QStringLiteral("Button7"))->isVisible());
    QCOMPARE(tools->width(), 169);
    const QList<QStringList> expected{
        {"xdg-open", QDir::homePath() + QStringLiteral("/Desktop/Tovik/PSavro.exe")},
        {"gnome-control-center", "region"},
        {"xdg-email"},
        {"libreoffice", "--writer"},
        {"libreoffice", "--calc"},
        {"libreoffice", "--base"},
        {"libreoffice", "--impress"},
        {"xdg-open", QDir::homePath()},
        {"gnome-system-monitor"},
        {"sensible-browser"},
        {"xdg-open", "smb://files.example.com/"},
    };
    for (int i = 0; i < tools->count(); ++i) {
        QVERIFY(tools->shown(i).toolTip.isEmpty());
        clickButton(tools, i);
        QCOMPARE(desktop.settledCalls().last(), expected[i]);
    }
    QCOMPARE(tools->caption(10), QStringLiteral("116资料查询"));
}

void TestPages::remoteGuide() {
    const TempShare share;
    const RecordingDesktop desktop;
    TForm_quvex form(share.locations(), share.config());
    form.show();
    form.findChild<QTabWidget*>()->setCurrentIndex(1);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button7")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button4")), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button6")), Qt::LeftButton);
    const QList<QStringList> calls = desktop.settledCalls();
    QVERIFY(calls.contains(
        QStringList{"xdg-open", "mailto:it@example.com?subject=Remote OA: " + GetLogonUserName() +
                                    "&body=Just send it!"}));
    QVERIFY(calls.contains(
        QStringList{"xdg-open", "http://download.example.com/Marevo远程办公-电信.rar"}));
    QVERIFY(calls.contains(
        QStringList{"xdg-open", "http://download.example.com/Marevo远程办公-网通.rar"}));
    QCOMPARE(remoteAccessMailLink(QStringLiteral("it@example.com"), QStringLiteral("Li Na")),
             QStringLiteral("mailto:it@example.com?subject=Remote OA: Li Na&body=Just send it!"));

    auto* guide = form.findChild<QScrollArea*>(QStringLiteral("ScrollBox1"));
    auto* last = form.findChild<QLabel*>(QStringLiteral("Label7"));
    QCOMPARE(last->pos(), QPoint(40, 1213));
    QVERIFY(last->text().startsWith(QStringLiteral("6.有任何疑问请拨打Pelko电话")));
    guide->ensureWidgetVisible(last);
    QVERIFY(guide->verticalScrollBar()->value() > 0);
    const QRect shown(last->mapTo(guide->viewport(), QPoint(0, 0)), last->size());
    QVERIFY(guide->viewport()->rect().contains(shown));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Image1"))->geometry(),
             QRect(67, 383, 439, 333));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Image2"))->geometry(),
             QRect(67, 798, 500, 375));
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
