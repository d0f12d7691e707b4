#include "UnitMain.h"

#include "DocumentSearch.h"
#include "Fonts.h"
#include "Guard.h"
#include "Layouts.h"
#include "Shell.h"
#include "WaitCursor.h"

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace quvex {

void TForm_quvex::buildSearchPage() {
    auto* layout = dockedLayout<QVBoxLayout>(TabSheetSearch);

    Panel2 = new QFrame(TabSheetSearch);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(41);
    EditSearchKeyword = new QLineEdit(QStringLiteral("Marevo"), Panel2);
    EditSearchKeyword->setObjectName(QStringLiteral("EditSearchKeyword"));
    EditSearchKeyword->setGeometry(150, 10, 479, 22);
    Button1 = new QPushButton(QStringLiteral("搜"), Panel2);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(635, 9, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, guardedSlot([this] { Button1Click(); }));

    ListBoxSearchResult = new QListWidget(TabSheetSearch);
    ListBoxSearchResult->setObjectName(QStringLiteral("ListBoxSearchResult"));
    ListBoxSearchResult->setFont(uiFont(12));
    ListBoxSearchResult->setUniformItemSizes(true);
    ListBoxSearchResult->setStyleSheet(QStringLiteral("QListWidget::item { height: 14px; }"));
    ListBoxSearchResult->viewport()->installEventFilter(this);

    layout->addWidget(Panel2);
    layout->addWidget(ListBoxSearchResult, 1);

    // The default button of the page: while the page is shown, Enter searches wherever the
    // focus is in the window (the header's list included), and only then. The shortcut takes
    // the key first; the edit's own signal serves where no shortcut fires.
    connect(EditSearchKeyword, &QLineEdit::returnPressed, Button1, &QPushButton::click);
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WindowShortcut);
        const auto follow = [this, enter] {
            enter->setEnabled(PageControl1->currentWidget() == TabSheetSearch);
        };
        follow();
        connect(PageControl1, &QTabWidget::currentChanged, enter, follow);
        connect(enter, &QShortcut::activated, Button1, &QPushButton::click);
    }
}

void TForm_quvex::Button1Click() {
    const WaitCursor wait;
    const QStringList paths =
        searchDocumentIndex({m_config.dbDriver, m_config.dbConnection}, EditSearchKeyword->text());
    ListBoxSearchResult->clear();
    ListBoxSearchResult->addItems(sortedForDisplay(paths, QLocale::system()));
}

void TForm_quvex::ListBoxSearchResultDblClick() {
    // Without a selected line there is nothing to open: a harmless click, not an error.
    const QList<QListWidgetItem*> selected = ListBoxSearchResult->selectedItems();
    if (selected.isEmpty())
        return;
    const WaitCursor wait;
    ShellOpen(selected.first()->text());
}

} // namespace quvex
