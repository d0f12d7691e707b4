#include "UnitMain.h"

#include "ButtonList.h"
#include "Fonts.h"
#include "Guard.h"
#include "Layouts.h"
#include "Shell.h"
#include "System.h"
#include "ValuesMail.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

namespace quvex {

namespace {

struct RemoteTool {
    const char* caption;
    const char* target;
};

// The office programs on the remote desktop, in their order on the page.
constexpr RemoteTool remoteTools[] = {
    {"Tovik", "Tovik"},
    {"区域和语言设置", "intl.cpl"},
    {"Outlook 2007", "outlook.exe"},
    {"Word 2007", "WINWORD.exe"},
    {"EXCEL 2007", "EXCEL.EXE"},
    {"ACCESS 2007", "MSACCESS.exe"},
    {"POWERPNT 2007", "POWERPNT.exe"},
    {"资源管理器", "explorer.exe"},
    {"任务管理器", "taskmgr.exe"},
    {"IE浏览器", "iexplore.exe"},
};

QLabel* guideLabel(QWidget* parent, const char* name, const QString& text, QPoint at,
                   const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->adjustSize();
    label->move(at);
    return label;
}

QLabel* guidePicture(QWidget* parent, const char* name, const QString& resource, QPoint at) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QLatin1String(name));
    picture->setPixmap(QPixmap(resource));
    picture->setGeometry(QRect(at, picture->pixmap().size()));
    return picture;
}

QPushButton* guideButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

} // namespace

void TForm_quvex::buildRemotePage() {
    auto* layout = dockedLayout<QHBoxLayout>(TabSheet_remote_oa);

    ButtonGroup_remoteoa = new ButtonList(TabSheet_remote_oa);
    ButtonGroup_remoteoa->setObjectName(QStringLiteral("ButtonGroup_remoteoa"));
    ButtonGroup_remoteoa->setFrameShape(QFrame::Box);
    ButtonGroup_remoteoa->setFixedWidth(169);
    for (const RemoteTool& tool : remoteTools)
        ButtonGroup_remoteoa->addButton(QString::fromUtf8(tool.caption),
                                        QString::fromUtf8(tool.target));
    ButtonGroup_remoteoa->addButton(QStringLiteral("116资料查询"),
                                    QStringLiteral("\\\\") + m_config.docServer + u'\\');
    connect(ButtonGroup_remoteoa, &ButtonList::buttonClicked, this, guardedSlot([this](int index) {
                ButtonGroupButtonClicked(ButtonGroup_remoteoa, index);
            }));

    ScrollBox1 = new QScrollArea(TabSheet_remote_oa);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* guide = new QWidget;
    guide->setFixedSize(590, 1240);
    const QFont text = uiFont(12);
    const QFont small = uiFont(11);
    guideLabel(guide, "Label3", QStringLiteral("新远程办公系统"), {234, 16}, uiFont(16, true));
    guideLabel(
        guide, "Label8",
        QStringLiteral(
            "新远程办公系统让您在家中或出差途中，像在办公室一样运行Tovik业务系统、打印文件、\n"
            "查阅116资料、收发邮件、使用公司内部通讯工具，国内海外均可接入。\n"
            "系统已在总部和各分公司全面上线，原有的拨号和VPN方式将逐步停用。\n"
            "第一次使用请按下面的图文教程申请权限、下载客户端并登录。"),
        {40, 53}, text);
    guideLabel(guide, "Label9", QStringLiteral("1.申请远程办公权限"), {40, 150}, small);
    Button7 = guideButton(guide, "Button7", QStringLiteral("发邮件给Pelko"), {202, 145, 104, 25});
    guideLabel(guide, "Label2", QStringLiteral("2.下载远程办公客户端"), {40, 215}, small);
    Button4 = guideButton(guide, "Button4", QStringLiteral("电信版"), {202, 210, 75, 25});
    Button6 = guideButton(guide, "Button6", QStringLiteral("网通版"), {303, 210, 75, 25});
    guideLabel(
        guide, "Label4",
        QStringLiteral("3.运行远程办公客户端，（出现任何提示都选择“确定”“是”等表示肯定的选项）"),
        {40, 275}, small);
    guideLabel(guide, "Label5",
               QStringLiteral("4.输入电脑登陆账号") + m_config.loginPattern +
                   QStringLiteral(" 和开机密码。\n（第一次运行比较慢，需要5~10分钟初始化环境，"
                                  "如果超过时间还未有反应，请检查密码是否正确）"),
               {40, 339}, small);
    guidePicture(guide, "Image1", QStringLiteral(":/quvex/remote_login.png"), {67, 383});
    guideLabel(guide, "Label6",
               QStringLiteral("5.成功后可以运行Tovik、outlook、查询116资料等工具，开始远程办公。"),
               {40, 770}, small);
    guidePicture(guide, "Image2", QStringLiteral(":/quvex/remote_desktop.png"), {67, 798});
    guideLabel(guide, "Label7",
               QStringLiteral("6.有任何疑问请拨打Pelko电话") + m_config.supportPhone +
                   QStringLiteral("或者") + m_config.supportMobile,
               {40, 1213}, small);
    ScrollBox1->setWidget(guide);

    connect(Button7, &QPushButton::clicked, this, guardedSlot([this] { Button7Click(); }));
    connect(Button4, &QPushButton::clicked, this, guardedSlot([this] { Button4Click(); }));
    connect(Button6, &QPushButton::clicked, this, guardedSlot([this] { Button6Click(); }));

    layout->addWidget(ButtonGroup_remoteoa);
    layout->addWidget(ScrollBox1, 1);
}

void TForm_quvex::Button7Click() {
    ShellOpen(remoteAccessMailLink(m_config.adminMail, GetLogonUserName()));
}

void TForm_quvex::Button4Click() {
    ShellOpen(m_config.downloadBase + QStringLiteral("/Marevo远程办公-电信.rar"));
}

void TForm_quvex::Button6Click() {
    ShellOpen(m_config.downloadBase + QStringLiteral("/Marevo远程办公-网通.rar"));
}

} // namespace quvex
