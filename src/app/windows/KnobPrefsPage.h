#pragma once
// The preferences' Knob tab: the DoroControl tuning knob switched on, its serial port, what
// turning it does and what its three buttons do, and its status light.
#include "app/windows/PreferencesPage.h"

#include <QImage>

#include <array>
#include <string>

class QLabel;

namespace vm {

class CheckBox;
class ImageButton;
class PopUpButton;

class KnobPrefsPage : public PreferencesPage {
    Q_OBJECT

public:
    explicit KnobPrefsPage(QWidget* parent = nullptr);

    // Empties the port list and fills it with the serial ports present now.
    void reloadSerialPorts();
    // Selects the stored port (else the first).
    void restoreSerialPort();
    // The chosen port's title (its device path); empty when no port is listed.
    std::string serialPort() const;
    // The knob switched on; set from code, the box sends nothing.
    bool doroControl() const;
    void setDoroControl(bool on);
    void setDoroControlEnabled(bool enabled);
    // The index of the task chosen for turning the knob, and for auxiliary button 1 to 3.
    int taskIndex() const;
    int auxTaskIndex(int button) const;
    void setStatus(const std::string& status);
    void setLightImage(const QImage& image);

signals:
    // The operator's changes: the knob switched on or off, a port, a task or a button's task
    // (button 1 to 3) chosen by its title.
    void doroControlCheckBoxChanged(bool on);
    void doroPortPopupChanged(const std::string& port);
    void doroControlTaskPopupChanged(const std::string& task);
    void doroControlAuxPopupChanged(int button, const std::string& task);

private:
    CheckBox* doroControlCheckBox;
    PopUpButton* serialPortPopup;
    PopUpButton* doroControlTaskPopup;
    std::array<PopUpButton*, 3> doroControlAuxPopups{};  // doroControlAux1Popup ... 3
    ImageButton* doroControlLightButton;
    QLabel* doroControlStatus;
};

}  // namespace vm
