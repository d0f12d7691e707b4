#include "UnitAddLink.h"

#include "Fonts.h"
#include "Guard.h"
#include "LabeledEdit.h"
#include "LinkCatalog.h"
#include "MessageBoxes.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace quvex {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(at);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, QPoint at) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    b->setGeometry(QRect(at, QSize(75, 25)));
    return b;
}

} // namespace

TFormAddLink::TFormAddLink(Locations locations, Config config, QWidget* parent)
    : QDialog(parent)
    , m_locations(std::move(locations))
    , m_config(std::move(config)) {
    setObjectName(QStringLiteral("FormAddLink"));
    setWindowTitle(QStringLiteral("添加链接"));
    setFont(uiFont(11));
    setFixedSize(495, 177);

    LabeledEditLinkName =
        createLabeledEdit(this, QStringLiteral("LabeledEditLinkName"), QStringLiteral("链接名称"),
                          QRect(54, 8, 179, 21), font());
    LabeledEditURL = createLabeledEdit(this, QStringLiteral("LabeledEditURL"),
                                       QStringLiteral("路径"), QRect(54, 43, 387, 21), font());
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("选择"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setGeometry(447, 42, 34, 22);

    const QString server = QStringLiteral("\\\\") + m_config.docServer;
    Label1 =
        label(this, "Label1", QStringLiteral("网页格式：http://www.example.com/news/"), {54, 73});
    Label2 =
        label(this, "Label2",
              QStringLiteral("文件格式：") + server + QStringLiteral("\\公共\\制度\\员工手册.doc"),
              {54, 93});
    Label3 = label(this, "Label3",
                   QStringLiteral("文件夹格式：") + server +
                       QStringLiteral("\\公共\\制度\\  最后一个字符必须是\\"),
                   {54, 112});
    Button1 = button(this, "Button1", QStringLiteral("关闭"), {303, 137});
    Button2 = button(this, "Button2", QStringLiteral("添加"), {406, 137});

    setTabOrder(LabeledEditLinkName, LabeledEditURL);
    setTabOrder(LabeledEditURL, Button1);
    setTabOrder(Button1, Button2);

    connect(SpeedButton1, &QToolButton::clicked, this,
            guardedSlot([this] { SpeedButton1Click(); }));
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button2, &QPushButton::clicked, this, guardedSlot([this] { Button2Click(); }));
}

void TFormAddLink::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TFormAddLink::SpeedButton1Click() {
    const QString file = QFileDialog::getOpenFileName(this);
    if (!file.isEmpty())
        LabeledEditURL->setText(file);
}

void TFormAddLink::Button2Click() {
    const QString name = LabeledEditLinkName->text();
    // An empty name would be written but never shown: refused, nothing written.
    if (name.trimmed().isEmpty()) {
        InfoBox(QStringLiteral("请输入链接名称"));
        LabeledEditLinkName->setFocus();
        return;
    }
    if (!AddPendingLink(m_locations, m_config.legacyCodepage, name, LabeledEditURL->text())) {
        InfoBox(QStringLiteral("已有相同的链接名，请更换链接名称"));
        LabeledEditLinkName->setFocus();
        return;
    }
    InfoBox(QStringLiteral("添加成功，等待审核!"));
}

} // namespace quvex
