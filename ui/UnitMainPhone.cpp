#include "UnitMain.h"

#include "ClickableLabel.h"
#include "Guard.h"
#include "PhoneDirectory.h"
#include "Shell.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace quvex {

void TForm_quvex::LoadPhoneDirectory() {
    const QStringList lines =
        readPhoneDirectory(m_locations.localPhoneDirectory(), m_config.legacyCodepage);
    // Selecting the first line here is not a change: the header keeps its default picture.
    const QSignalBlocker blocker(ComboBox_userinfo);
    ComboBox_userinfo->clear();
    ComboBox_userinfo->addItems(lines);
    m_typeAhead.setLines(lines);
    ComboBox_userinfo->setCurrentIndex(lines.isEmpty() ? -1 : 0);
}

void TForm_quvex::ComboBox_userinfoChange() {
    Image_show->setPixmap(
        m_photos.photo(GetPhotoPath(ComboBox_userinfo->currentText(), m_locations)));
}

void TForm_quvex::Image_showClick() {
    ShellOpen(GetPhotoPath(ComboBox_userinfo->currentText(), m_locations));
}

bool TForm_quvex::typeAheadKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace) {
        m_typeAhead.backspace(m_clock());
        guarded([this] { ComboBox_userinfoChange(); });
        return true;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text[0].isPrint() || event->modifiers() & Qt::ControlModifier)
        return false;
    ComboBox_userinfo->setCurrentIndex(
        m_typeAhead.type(text[0], m_clock(), ComboBox_userinfo->currentIndex()));
    return true;
}

} // namespace quvex
