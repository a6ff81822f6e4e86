#include "platform/ui/PopUpButton.h"

#include "platform/core/Log.h"

namespace vm {

PopUpButton::PopUpButton(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, &PopUpButton::sendAction);
}

std::string PopUpButton::title() const { return currentText().toStdString(); }

int PopUpButton::indexOfItemWithTitle(const std::string& title) const {
    return findText(QString::fromStdString(title), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void PopUpButton::selectItemAtIndex(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void PopUpButton::safeSelectItemAtIndex(long index) {
    if (index >= 0 && index < count()) {
        setCurrentIndex(int(index));
        return;
    }
    log("safeSelectItemAtIndex:{} is out of range items:{} in popup:[{}]", index, count(), title());
}

void PopUpButton::showPopup() {
    emit willPopUp();
    QComboBox::showPopup();
}

}  // namespace vm
