#include "UnitMain.h"

#include "ButtonList.h"
#include "CaptionElision.h"
#include "FileSystem.h"
#include "FolderCopy.h"
#include "Guard.h"
#include "LeftDockedColumns.h"
#include "LinkCatalog.h"
#include "MessageBoxes.h"
#include "Shell.h"
#include "System.h"
#include "WaitCursor.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace quvex {

namespace {

const QString tovikCaption = QStringLiteral("Tovik");
const QString oaCaption = QStringLiteral("OA系统");

// The room a group's frame leaves beside its title.
constexpr int groupTitleMargin = 16;

} // namespace

void TForm_quvex::BuildLinkGroups() {
    const LinkCatalog catalog =
        ReadLinkCatalog(m_locations.localLinkList(), m_config.legacyCodepage);
    if (catalog.isEmpty())
        return;
    // The width comes from the window, not the page, so the last box may be cut off a little.
    const int width = clientWidth / int(catalog.size());
    for (const LinkGroup& group : catalog) {
        auto* box = new QGroupBox;
        box->setObjectName(QStringLiteral("LinkGroup"));
        // Captions of many narrow groups must not run into each other.
        const ShownCaption title =
            shownCaption(group.caption, {}, false, box->fontMetrics(), width - groupTitleMargin);
        box->setTitle(title.text);
        box->setToolTip(title.toolTip);
        box->setAccessibleName(group.caption);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(2, 0, 2, 2);
        auto* list = new ButtonList(box);
        list->setFrameShape(QFrame::NoFrame);
        list->setShowTooltips(true);
        for (const LinkEntry& link : group.links)
            list->addButton(link.name, link.target);
        layout->addWidget(list);
        connect(list, &ButtonList::buttonClicked, this,
                guardedSlot([this, list](int index) { ButtonGroupButtonClicked(list, index); }));
        TabSheetLinks->addColumn(box, width);
    }
}

void TForm_quvex::ButtonGroupButtonClicked(ButtonList* list, int index) {
    const QString caption = list->caption(index);
    if (caption == tovikCaption) {
        const QString desktop = GetDesktopFolder();
        const QString client = desktop + u'/' + FileNames::tovikFolder + u'/';
        if (!DirectoryExists(client)) {
            InfoBox(QStringLiteral("准备安装Tovik，请耐心等候Tovik启动，点击ok开始安装"));
            CopyFolder(m_config.tovikSource, desktop + u'/', this);
        }
        ShellOpen(client + FileNames::tovikProgram);
    } else if (caption == oaCaption) {
        ShellOpen(QStringLiteral("iexplore.exe"), m_config.oaUrl);
    } else {
        const WaitCursor wait;
        ShellOpen(list->target(index));
    }
}

} // namespace quvex
