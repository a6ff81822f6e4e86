#pragma once
// A check box: on or off. Setting the state from code sends no action; a click sends `action`.
#include <QCheckBox>

namespace vm {

class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit CheckBox(const QString& title = {}, QWidget* parent = nullptr);

    bool state() const { return isChecked(); }
    void setState(bool on) { setChecked(on); }

    void sendAction() { emit action(); }

signals:
    void action();
};

}  // namespace vm
