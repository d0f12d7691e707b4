#pragma once

#include "Config.h"
#include "Locations.h"

#include <QDialog>

class QLineEdit;
class QLabel;
class QPushButton;
class QToolButton;

namespace quvex {

// The dialog in which users propose a link for the review section of the shared link list.
class TFormAddLink : public QDialog {
    Q_OBJECT
public:
    TFormAddLink(Locations locations, Config config, QWidget* parent = nullptr);

protected:
    // Enter and Esc do nothing here: the dialog has no default and no cancel button, and
    // closing it restarts the program.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SpeedButton1Click();
    void Button2Click();

    Locations m_locations;
    Config m_config;

    QLineEdit* LabeledEditLinkName;
    QLineEdit* LabeledEditURL;
    QToolButton* SpeedButton1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Button1;
    QPushButton* Button2;
};

} // namespace quvex
