// The preferences pages of the radio's devices and stored settings: meters, profiles, amplifier,
// transverters and the tuning knob.
#include "app/windows/PreferencesWindow.h"

#include <QVBoxLayout>

namespace vm {

using namespace kit;

QWidget* PreferencesWindow::buildMetersPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* source = new QHBoxLayout;
    meterPanelPopUp = popUp(page, QStringLiteral("meterPanelPopUp"),
                            {"Codec", "Transmit", "Slice", "Radio", "Amplifier"});
    source->addWidget(new QLabel(QStringLiteral("Meters of")));
    source->addWidget(meterPanelPopUp);
    source->addStretch(1);
    layout->addLayout(source);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    for (int i = 0; i < 28; ++i) {
        meters[i] = levelIndicator(page, QStringLiteral("meter_%1").arg(i + 1));
        meters[i]->setMinimumWidth(160);
        meterLabels[i] = label(page, QStringLiteral("meter_%1_Label").arg(i + 1));
        meterLabels[i]->setMinimumWidth(200);
        const int column = (i / 14) * 2;
        grid->addWidget(meters[i], i % 14, column);
        grid->addWidget(meterLabels[i], i % 14, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}

QWidget* PreferencesWindow::buildProfilesPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* profiles = group(grid, 0, 0, QStringLiteral("Profiles"));
    auto profileRow = [&](const QString& caption, const QString& kind, PopUpButton*& popup,
                          ImageButton*& save, ImageButton*& add, ImageButton*& remove) {
        popup = popUp(page, QStringLiteral("%1ProfilesPopup").arg(kind));
        popup->setMinimumWidth(220);
        const QString stem = kind.left(1).toUpper() + kind.mid(1);
        save = imageButton(page, QStringLiteral("save%1ProfileButton").arg(stem));
        add = imageButton(page, QStringLiteral("add%1ProfileButton").arg(stem));
        remove = imageButton(page, QStringLiteral("delete%1ProfileButton").arg(stem));
        save->setToolTip(QStringLiteral("Save the %1 profile").arg(caption.toLower()));
        add->setToolTip(QStringLiteral("New %1 profile").arg(caption.toLower()));
        remove->setToolTip(QStringLiteral("Delete a %1 profile").arg(caption.toLower()));
        for (ImageButton* b : {save, add, remove}) {
            b->setFixedSize(28, 28);
        }
        row(profiles, caption, {popup, save, add, remove});
    };
    profileRow(QStringLiteral("Global"), QStringLiteral("global"), globalProfilesPopup,
               saveGlobalProfileButton, addGlobalProfileButton, deleteGlobalProfileButton);
    profileRow(QStringLiteral("Transmit"), QStringLiteral("tx"), txProfilesPopup,
               saveTxProfileButton, addTxProfileButton, deleteTxProfileButton);
    profileRow(QStringLiteral("Microphone"), QStringLiteral("mic"), micProfilesPopup,
               saveMicProfileButton, addMicProfileButton, deleteMicProfileButton);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    return page;
}

QWidget* PreferencesWindow::buildAmplifierPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* amplifier = group(grid, 0, 0, QStringLiteral("Amplifier"));
    amplifierInterlockPopup =
        popUp(page, QStringLiteral("amplifierInterlockPopup"), {"Standby", "Operate"});
    amplifierInterlockText = label(page, QStringLiteral("amplifierInterlockText"));
    row(amplifier, QStringLiteral("Mode"), {amplifierInterlockPopup, amplifierInterlockText});
    for (int i = 0; i < 4; ++i) {
        ampMeters[i] = levelIndicator(page, QStringLiteral("amp_meter_%1").arg(i + 1));
        ampMeters[i]->setMinimumWidth(200);
        ampMeterLabels[i] = label(page, QStringLiteral("amp_meter_label_%1").arg(i + 1));
        ampMeterLabels[i]->setMinimumWidth(180);
        row(amplifier, {}, {ampMeters[i], ampMeterLabels[i]});
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    return page;
}

QWidget* PreferencesWindow::buildTransverterPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    xvtrTabView = new QTabWidget(page);
    xvtrTabView->setObjectName(QStringLiteral("xvtrTabView"));
    xvtrTabView->setMinimumHeight(200);
    layout->addWidget(xvtrTabView, 1);
    auto* buttons = new QHBoxLayout;
    xvtrAddButton = imageButton(page, QStringLiteral("xvtrAddButton"));
    xvtrDeleteButton = imageButton(page, QStringLiteral("xvtrDeleteButton"));
    xvtrSelectButton = imageButton(page, QStringLiteral("xvtrSelectButton"));
    xvtrAddButton->setToolTip(QStringLiteral("New transverter"));
    for (ImageButton* b : {xvtrAddButton, xvtrDeleteButton, xvtrSelectButton}) {
        b->setFixedSize(28, 28);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

QWidget* PreferencesWindow::buildKnobPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* knob = group(grid, 0, 0, QStringLiteral("DoroControl tuning knob"));
    doroControlCheckBox =
        checkBox(page, QStringLiteral("doroControlCheckBox"), QStringLiteral("Use the knob"));
    doroControlLightButton = imageButton(page, QStringLiteral("doroControlLightButton"));
    doroControlLightButton->setFixedSize(18, 18);
    doroControlStatus = label(page, QStringLiteral("doroControlStatus"));
    row(knob, {}, {doroControlCheckBox, doroControlLightButton, doroControlStatus});
    serialPortPopup = popUp(page, QStringLiteral("serialPortPopup"));
    serialPortPopup->setMinimumWidth(260);
    row(knob, QStringLiteral("Serial port"), {serialPortPopup});
    doroControlTaskPopup = popUp(page, QStringLiteral("doroControlTaskPopup"));
    row(knob, QStringLiteral("Knob turns"), {doroControlTaskPopup});
    for (int i = 0; i < 3; ++i) {
        doroControlAuxPopups[i] = popUp(page, QStringLiteral("doroControlAux%1Popup").arg(i + 1));
        row(knob, QStringLiteral("Button %1").arg(i + 1), {doroControlAuxPopups[i]});
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    return page;
}

}  // namespace vm
