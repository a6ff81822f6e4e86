#include "app/windows/KnobPrefsPage.h"

#include "app/windows/SerialPortChoice.h"
#include "app/windows/WidgetKit.h"
#include "platform/ui/ControlPrefs.h"

namespace vm {

using namespace kit;

namespace {

const char* const kPortKey = "doro_control_port";

// What turning the knob, or one of its buttons, can do.
const QStringList kKnobTasks{"Nothing",
                             "Active Slice VFO",
                             "Alternate Slice VFO",
                             "Volume Active Slice",
                             "Volume Alternate Slice",
                             "Master Volume",
                             "Active Slice RIT Level",
                             "Active Slice XIT Level",
                             "Active Slice Agc-T Level",
                             "Alternate Slice Agc-T Level"};

}  // namespace

KnobPrefsPage::KnobPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* grid = new QGridLayout(this);
    auto* knob = group(grid, 0, 0, QStringLiteral("DoroControl tuning knob"));
    doroControlCheckBox =
        checkBox(this, QStringLiteral("doroControlCheckBox"), QStringLiteral("Use the knob"));
    doroControlLightButton = imageButton(this, QStringLiteral("doroControlLightButton"));
    doroControlLightButton->setFixedSize(18, 18);
    doroControlStatus = label(this, QStringLiteral("doroControlStatus"));
    row(knob, {}, {doroControlCheckBox, doroControlLightButton, doroControlStatus});
    serialPortPopup = popUp(this, QStringLiteral("serialPortPopup"));
    serialPortPopup->setMinimumWidth(260);
    row(knob, QStringLiteral("Serial port"), {serialPortPopup});
    doroControlTaskPopup = popUp(this, QStringLiteral("doroControlTaskPopup"), kKnobTasks);
    row(knob, QStringLiteral("Knob turns"), {doroControlTaskPopup});
    for (int i = 0; i < 3; ++i) {
        doroControlAuxPopups[i] = popUp(this, QStringLiteral("doroControlAux%1Popup").arg(i + 1),
                                        kKnobTasks + QStringList{"MOX"});
        row(knob, QStringLiteral("Button %1").arg(i + 1), {doroControlAuxPopups[i]});
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    stored_.popUp(serialPortPopup, kPortKey);
    stored_.checkBox(doroControlCheckBox, "doro_control", false);
    stored_.popUp(doroControlTaskPopup, "doro_control_task");
    static const char* const kAuxKeys[] = {"doro_control_aux1", "doro_control_aux2",
                                           "doro_control_aux3"};
    for (int i = 0; i < 3; ++i) {
        stored_.popUp(doroControlAuxPopups[i], kAuxKeys[i]);
    }

    connect(doroControlCheckBox, &CheckBox::action, this,
            [this] { emit doroControlCheckBoxChanged(doroControlCheckBox->state()); });
    connect(serialPortPopup, &PopUpButton::action, this,
            [this] { emit doroPortPopupChanged(serialPortPopup->title()); });
    connect(doroControlTaskPopup, &PopUpButton::action, this,
            [this] { emit doroControlTaskPopupChanged(doroControlTaskPopup->title()); });
    for (int i = 0; i < 3; ++i) {
        PopUpButton* popup = doroControlAuxPopups[i];
        connect(popup, &PopUpButton::action, this,
                [this, i, popup] { emit doroControlAuxPopupChanged(i + 1, popup->title()); });
    }
}

void KnobPrefsPage::reloadSerialPorts() {
    serialPortPopup->clear();
    findPorts(serialPortPopup);
}

void KnobPrefsPage::restoreSerialPort() { setPopupWithPrefTitle(serialPortPopup, kPortKey); }

std::string KnobPrefsPage::serialPort() const { return serialPortPopup->title(); }

bool KnobPrefsPage::doroControl() const { return doroControlCheckBox->state(); }

void KnobPrefsPage::setDoroControl(bool on) { doroControlCheckBox->setState(on); }

void KnobPrefsPage::setDoroControlEnabled(bool enabled) {
    doroControlCheckBox->setEnabled(enabled);
}

int KnobPrefsPage::taskIndex() const { return doroControlTaskPopup->indexOfSelectedItem(); }

int KnobPrefsPage::auxTaskIndex(int button) const {
    return button >= 1 && button <= 3
               ? doroControlAuxPopups[std::size_t(button - 1)]->indexOfSelectedItem()
               : -1;
}

void KnobPrefsPage::setStatus(const std::string& status) {
    doroControlStatus->setText(QString::fromStdString(status));
}

void KnobPrefsPage::setLightImage(const QImage& image) { doroControlLightButton->setImage(image); }

}  // namespace vm
