#include "platform/ui/CheckBox.h"

namespace vm {

CheckBox::CheckBox(const QString& title, QWidget* parent) : QCheckBox(title, parent) {
    connect(this, &QCheckBox::clicked, this, &CheckBox::sendAction);
}

}  // namespace vm
