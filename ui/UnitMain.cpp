#include "UnitMain.h"

#include "ClickableLabel.h"
#include "Fonts.h"
#include "Guard.h"
#include "Layouts.h"
#include "LeftDockedColumns.h"
#include "Shell.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quvex {

namespace {

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

std::function<qint64()> steadyClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

// The application's style, except that a combo box opens a list of its visible items rather
// than a menu that may fill the screen.
class ListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

TForm_quvex::TForm_quvex(Locations locations, Config config, QWidget* parent)
    : QWidget(parent)
    , m_locations(std::move(locations))
    , m_config(std::move(config))
    , m_clock(steadyClock()) {
    setObjectName(QStringLiteral("Form_quvex"));
    setWindowTitle(QStringLiteral("quvex -v") + m_config.version);
    setFont(uiFont(11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    resize(clientWidth, clientHeight);

    buildHeader();
    buildPages();
    buildMenu();

    auto* layout = dockedLayout<QVBoxLayout>(this);
    layout->addWidget(Panel1);
    layout->addWidget(PageControl1, 1);
}

TForm_quvex::~TForm_quvex() = default;

void TForm_quvex::buildHeader() {
    Panel1 = named(new QFrame(this), "Panel1");
    Panel1->setFixedHeight(68);

    Image_show = named(new ClickableLabel(Panel1), "Image_show");
    Image_show->setGeometry(0, 0, 80, 68);
    Image_show->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Shipped at the size shown (resources/CMakeLists.txt).
    Image_show->setPixmap(QPixmap(QStringLiteral(":/quvex/header.png")));
    connect(Image_show, &ClickableLabel::clicked, this, guardedSlot([this] { Image_showClick(); }));

    Label1 = named(new QLabel(QStringLiteral("号码查询："), Panel1), "Label1");
    Label1->move(88, 27);

    Button8 = named(new QPushButton(QStringLiteral("设置"), Panel1), "Button8");
    Button8->setGeometry(639, 22, 75, 25);
    connect(Button8, &QPushButton::clicked, this, guardedSlot([this] { Button8Click(); }));

    Button2 = named(new QPushButton(QStringLiteral("截图工具"), Panel1), "Button2");
    Button2->setGeometry(720, 22, 60, 25);
    connect(Button2, &QPushButton::clicked, this, guardedSlot([this] { Button2Click(); }));

    // Created after the two buttons: the tab order is Button8, Button2, then the list.
    ComboBox_userinfo = named(new QComboBox(Panel1), "ComboBox_userinfo");
    ComboBox_userinfo->setEditable(false);
    ComboBox_userinfo->setGeometry(154, 24, 479, 22);
    ComboBox_userinfo->setMaxVisibleItems(20);
    // A list of at most 20 lines with a scroll bar, as on Windows, not a menu the screen high.
    auto* listPopup = new ListPopupStyle;
    listPopup->setParent(ComboBox_userinfo);
    ComboBox_userinfo->setStyle(listPopup);
    // Its width is fixed: measuring every line on first show would only cost start-up time.
    ComboBox_userinfo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ComboBox_userinfo->setMinimumContentsLength(1);
    ComboBox_userinfo->installEventFilter(this);
    connect(ComboBox_userinfo, &QComboBox::currentIndexChanged, this,
            guardedSlot([this](int) { ComboBox_userinfoChange(); }));
}

void TForm_quvex::buildPages() {
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    TabSheetLinks = named(new LeftDockedColumns, "TabSheetLinks");
    TabSheet_remote_oa = named(new QWidget, "TabSheet_remote_oa");
    TabSheetValues = named(new QWidget, "TabSheetValues");
    TabSheetSearch = named(new QWidget, "TabSheetSearch");
    PageControl1->addTab(TabSheetLinks, QStringLiteral("常用链接"));
    PageControl1->addTab(TabSheet_remote_oa, QStringLiteral("远程办公"));
    PageControl1->addTab(TabSheetValues, QStringLiteral("价值观"));
    PageControl1->addTab(TabSheetSearch, QStringLiteral("116文档搜索"));
    PageControl1->setCurrentIndex(0);
    // The other pages are built when first shown: the first frame needs only the links.
    connect(PageControl1, &QTabWidget::currentChanged, this, guardedSlot([this](int index) {
                QWidget* page = PageControl1->widget(index);
                if (m_builtPages.contains(page))
                    return;
                m_builtPages.insert(page);
                if (page == TabSheet_remote_oa)
                    buildRemotePage();
                else if (page == TabSheetValues)
                    buildValuesPage();
                else if (page == TabSheetSearch)
                    buildSearchPage();
                // Children made after their page became visible are not shown by themselves.
                for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    child->show();
            }));
}

void TForm_quvex::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        if (const QScreen* screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    ComboBox_userinfo->setFocus();
}

void TForm_quvex::Button2Click() {
    ShellOpen(m_locations.screenshotTool());
}

void TForm_quvex::Button8Click() {
    PopupMenu_userinfo->popup(QCursor::pos());
}

bool TForm_quvex::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ComboBox_userinfo && event->type() == QEvent::KeyPress)
        return typeAheadKey(static_cast<QKeyEvent*>(event));
    if (ListBoxSearchResult && watched == ListBoxSearchResult->viewport()) {
        if (event->type() == QEvent::MouseButtonDblClick) {
            guarded([this] { ListBoxSearchResultDblClick(); });
            return true;
        }
        // A click below the lines keeps the selection, so that a double click there opens it.
        if (event->type() == QEvent::MouseButtonPress &&
            !ListBoxSearchResult->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint())
                 .isValid())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quvex
