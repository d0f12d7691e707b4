#pragma once

#include "Config.h"
#include "Locations.h"
#include "PhotoCache.h"
#include "TypeAhead.h"

#include <QSet>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QTabWidget;
class QFrame;
class QLineEdit;
class QListWidget;
class QCheckBox;
class QGroupBox;
class QPlainTextEdit;
class QRadioButton;
class QScrollArea;

namespace quvex {

class ButtonList;
class ClickableLabel;
class LeftDockedColumns;
class TFormAddLink;

// The main window: the phone lookup header and the four pages below it.
class TForm_quvex : public QWidget {
    Q_OBJECT
public:
    TForm_quvex(Locations locations, Config config, QWidget* parent = nullptr);
    ~TForm_quvex() override;

    // Start steps 2 and 3.
    void LoadPhoneDirectory();
    void BuildLinkGroups();

    // The click handler of every link list and of the remote-office tool list.
    void ButtonGroupButtonClicked(ButtonList* list, int index);

    // The add-link dialog shown by the settings menu; created after the main window.
    void setAddLinkDialog(TFormAddLink* dialog) { m_addLinkDialog = dialog; }

    // The clock of the phone list's type-ahead, in milliseconds (tests drive it by hand).
    void setTypeAheadClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    static constexpr int clientWidth = 784;
    static constexpr int clientHeight = 562;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildHeader();
    void buildPages();
    void buildMenu();
    void buildSearchPage();
    void buildValuesPage();
    void buildRemotePage();

    void Button2Click();
    void Button8Click();
    void ComboBox_userinfoChange();
    void Image_showClick();
    bool typeAheadKey(QKeyEvent* event);

    void ShowValueHint(QCheckBox* box);
    void Button5Click(QPushButton* sender);
    void Button7Click();
    void Button4Click();
    void Button6Click();
    void Button1Click();
    void ListBoxSearchResultDblClick();

    void N1Click();
    void N2Click();
    void ss1Click();
    void ssss1Click();

    Locations m_locations;
    Config m_config;
    TFormAddLink* m_addLinkDialog = nullptr;
    TypeAhead m_typeAhead;
    PhotoCache m_photos;
    std::function<qint64()> m_clock;
    bool m_centred = false;
    QSet<QWidget*> m_builtPages;

    QFrame* Panel1;
    ClickableLabel* Image_show;
    QLabel* Label1;
    QComboBox* ComboBox_userinfo;
    QPushButton* Button8;
    QPushButton* Button2;
    QTabWidget* PageControl1;
    LeftDockedColumns* TabSheetLinks;
    QWidget* TabSheet_remote_oa;
    QWidget* TabSheetValues;
    QWidget* TabSheetSearch;
    // The controls of the other three pages exist once their page has been shown.
    struct ValueBox {
        QGroupBox* box;
        QList<QCheckBox*> checks; // stored order
    };
    QList<ValueBox> m_valueBoxes; // stored order: the order of the mail subject
    QWidget* Panel6 = nullptr;
    QWidget* Panel7 = nullptr;
    QLineEdit* LabeledEditValueNameList = nullptr;
    QRadioButton* RadioButtonGood = nullptr;
    QRadioButton* RadioButtonVaryGood = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button3 = nullptr;
    QPlainTextEdit* MemoValue = nullptr;
    QLabel* LabelValueHint = nullptr;

    ButtonList* ButtonGroup_remoteoa = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button6 = nullptr;

    QFrame* Panel2 = nullptr;
    QLineEdit* EditSearchKeyword = nullptr;
    QPushButton* Button1 = nullptr;
    QListWidget* ListBoxSearchResult = nullptr;
    QMenu* PopupMenu_userinfo;
    QAction* ss1;
    QAction* ssss1;
    QAction* N1;
    QAction* N2;
    QAction* N3;
};

} // namespace quvex
