#include "UnitMain.h"

#include "ChangeRequest.h"
#include "Guard.h"
#include "MessageBoxes.h"
#include "Shell.h"
#include "UnitAddLink.h"
#include "UnitUpdate.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

namespace quvex {

namespace {

// A modal input box: OK gives the edited text, Cancel the pre-filled text unchanged.
QString inputBox(QWidget* parent, const QString& caption, const QString& prompt,
                 const QString& prefilled) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("InputBox"));
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(prefilled);
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(255);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : prefilled;
}

} // namespace

void TForm_quvex::buildMenu() {
    PopupMenu_userinfo = new QMenu(this);
    PopupMenu_userinfo->setObjectName(QStringLiteral("PopupMenu_userinfo"));
    const auto addEntry = [this](const char* name, const QString& caption, bool visible,
                                 std::function<void()> action) {
        QAction* entry = PopupMenu_userinfo->addAction(caption);
        entry->setObjectName(QLatin1String(name));
        entry->setVisible(visible);
        if (action)
            connect(entry, &QAction::triggered, this, guardedSlot([action] { action(); }));
        return entry;
    };
    ss1 = addEntry("ss1", QStringLiteral("修改当前号码"), false, [this] { ss1Click(); });
    ssss1 = addEntry("ssss1", QStringLiteral("添加号码"), false, [this] { ssss1Click(); });
    N1 = addEntry("N1", QStringLiteral("添加链接"), true, [this] { N1Click(); });
    N2 = addEntry("N2", QStringLiteral("修改照片"), true, [this] { N2Click(); });
    N3 = addEntry("N3", QStringLiteral("号码修改请到Tovik"), true, {});
}

void TForm_quvex::N1Click() {
    if (m_addLinkDialog)
        m_addLinkDialog->exec();
    RestartProgram(m_locations);
}

void TForm_quvex::N2Click() {
    ShellOpen(m_locations.photoFolder());
}

void TForm_quvex::ss1Click() {
    const QString current = ComboBox_userinfo->currentText();
    const QString changed =
        inputBox(this, QStringLiteral("修改号码信息"), QStringLiteral("格式如下："), current);
    fileChangeRequest(m_locations, m_config.legacyCodepage, changeSection,
                      current + QStringLiteral(" :=>: ") + changed);
    InfoBox(QStringLiteral("修改成功，等待审核!"));
}

void TForm_quvex::ssss1Click() {
    const QString added = inputBox(this, QStringLiteral("请输入号码信息"),
                                   QStringLiteral("格式如下："), phoneLineTemplate);
    fileChangeRequest(m_locations, m_config.legacyCodepage, addSection, added);
    InfoBox(QStringLiteral("添加成功，等待审核!"));
}

} // namespace quvex
