#include "UnitMain.h"

#include "Fonts.h"
#include "Guard.h"
#include "LabeledEdit.h"
#include "Layouts.h"
#include "Shell.h"
#include "ValuesCatalogue.h"
#include "ValuesMail.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quvex {

namespace {

constexpr int checkHeight = 25;
constexpr int captionHeight = 16; // the group box's caption band above its first row
const char explanationProperty[] = "explanation";
const QString encodedCaption = QStringLiteral("转到outlook");

// A check box that toggles wherever it is clicked, not only on its text.
class BehaviourCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

QList<ValueGroup> valuesCatalogue() {
    QFile file(QStringLiteral(":/quvex/values_catalogue.json"));
    return file.open(QIODevice::ReadOnly) ? parseValuesCatalogue(file.readAll())
                                          : QList<ValueGroup>{};
}

// Left edge of a group shown in the given column of its panel: the widths of the columns
// before it.
int columnLeft(const QList<ValueGroup>& catalogue, const ValueGroup& group) {
    int left = 0;
    for (const ValueGroup& other : catalogue) {
        if (other.panel == group.panel && other.column < group.column)
            left += other.width;
    }
    return left;
}

} // namespace

void TForm_quvex::buildValuesPage() {
    auto* layout = dockedLayout<QVBoxLayout>(TabSheetValues);
    Panel6 = new QWidget(TabSheetValues);
    Panel6->setObjectName(QStringLiteral("Panel6"));
    Panel6->setFixedHeight(145);
    Panel7 = new QWidget(TabSheetValues);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    Panel7->setFixedHeight(152);

    const QList<ValueGroup> catalogue = valuesCatalogue();
    for (const ValueGroup& group : catalogue) {
        QWidget* panel = group.panel == Panel6->objectName() ? Panel6 : Panel7;
        auto* box = new QGroupBox(group.caption, panel);
        box->setObjectName(group.name);
        box->setGeometry(columnLeft(catalogue, group), 0, group.width, panel->height());
        ValueBox value{box, {}};
        for (const ValueBehaviour& behaviour : group.behaviours) {
            auto* check = new BehaviourCheckBox(behaviour.caption, box);
            check->setObjectName(behaviour.name);
            check->setFont(uiFont(12));
            check->setGeometry(4, captionHeight + (behaviour.row - 1) * checkHeight,
                               group.width - 8, checkHeight);
            check->setProperty(explanationProperty, behaviour.explanation);
            connect(check, &QCheckBox::clicked, this,
                    guardedSlot([this, check] { ShowValueHint(check); }));
            value.checks.append(check);
        }
        m_valueBoxes.append(value);
    }

    LabeledEditValueNameList = createLabeledEdit(
        TabSheetValues, QStringLiteral("LabeledEditValueNameList"),
        QStringLiteral("value人员名单（逗号分隔）"), QRect(150, 302, 278, 21), uiFont(12));
    RadioButtonGood = new QRadioButton(QStringLiteral("好"), TabSheetValues);
    RadioButtonGood->setObjectName(QStringLiteral("RadioButtonGood"));
    RadioButtonGood->setGeometry(455, 302, 45, 21);
    RadioButtonGood->setChecked(true);
    RadioButtonVaryGood = new QRadioButton(QStringLiteral("很好"), TabSheetValues);
    RadioButtonVaryGood->setObjectName(QStringLiteral("RadioButtonVaryGood"));
    RadioButtonVaryGood->setGeometry(502, 302, 50, 21);
    Button5 = new QPushButton(encodedCaption, TabSheetValues);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button5->setGeometry(553, 300, 75, 25);
    Button3 = new QPushButton(QStringLiteral("有乱码点这里"), TabSheetValues);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(636, 300, 101, 25);
    for (QPushButton* button : {Button5, Button3})
        connect(button, &QPushButton::clicked, this,
                guardedSlot([this, button] { Button5Click(button); }));

    LabelValueHint = new QLabel(QStringLiteral("Tips:"), TabSheetValues);
    LabelValueHint->setObjectName(QStringLiteral("LabelValueHint"));
    LabelValueHint->move(3, 374);
    MemoValue = new QPlainTextEdit(TabSheetValues);
    MemoValue->setObjectName(QStringLiteral("MemoValue"));
    MemoValue->setReadOnly(true);
    MemoValue->setFrameShape(QFrame::NoFrame);
    MemoValue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoValue->setFixedHeight(133);

    layout->addWidget(Panel6);
    layout->addWidget(Panel7);
    layout->addStretch(1);
    layout->addWidget(MemoValue);
    // The hint label lies in the band the memo covers, behind it.
    MemoValue->raise();
}

void TForm_quvex::ShowValueHint(QCheckBox* box) {
    LabelValueHint->setText(QStringLiteral("Tips:") + box->text());
    LabelValueHint->adjustSize();
    QString explanation = box->property(explanationProperty).toString();
    explanation.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    MemoValue->setPlainText(explanation);
}

void TForm_quvex::Button5Click(QPushButton* sender) {
    QList<TickedGroup> groups;
    for (const ValueBox& value : std::as_const(m_valueBoxes)) {
        TickedGroup group{value.box->title(), {}};
        for (const QCheckBox* check : value.checks) {
            if (check->isChecked())
                group.ticked.append(check->text());
        }
        groups.append(group);
    }
    const QString text =
        composeValuesSubject(groups) +
        composeValuesTail(LabeledEditValueNameList->text(), RadioButtonGood->isChecked());
    ShellOpen(valuesMailLink(m_config.valuesTo, m_config.valuesCc, text,
                             sender->text() == encodedCaption));
}

} // namespace quvex
