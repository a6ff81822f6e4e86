#include "app/windows/PreferencesWindow.h"

#include "app/windows/PanSettingsPage.h"
#include "app/windows/SlicePanel.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

namespace {

// A page whose content scrolls when the window is smaller than the page wants.
QWidget* scrolling(QWidget* page) {
    auto* area = new QScrollArea;
    area->setWidget(page);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

std::vector<TableColumn> radioColumns() {
    std::vector<TableColumn> columns{
        TableColumn("name", "Name", 130).editable(),
        TableColumn("callsign", "Callsign", 90).editable(),
        TableColumn("model", "Model", 80),
        TableColumn("ipAddress", "Address", 120),
        TableColumn("port", "Port", 60),
        TableColumn("serialNum", "Serial", 150),
        TableColumn("version", "Version", 100),
        TableColumn("status", "Status", 90),
        TableColumn("dpVersion", "Protocol", 70),
        TableColumn("max_licensed_version", "Licensed", 80),
        TableColumn("requires_additional_license", "Needs Licence", 90),
        TableColumn("radio_license_id", "Licence ID", 120)};
    return columns;
}

}  // namespace

PreferencesWindow::PreferencesWindow(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("prefsWindow"));
    setWindowTitle(QStringLiteral("Preferences"));
    prefsTabView = new QTabWidget(this);
    prefsTabView->setObjectName(QStringLiteral("prefsTabView"));
    prefsTabView->setUsesScrollButtons(true);
    prefsTabView->setDocumentMode(true);
    prefsTabView->addTab(scrolling(buildRadioPage()), QStringLiteral("Radio"));
    prefsTabView->addTab(scrolling(buildPanadapterPage()), QStringLiteral("Panadapters"));
    prefsTabView->addTab(buildSlicePage(), QStringLiteral("Slices"));
    prefsTabView->addTab(scrolling(buildStationPage()), QStringLiteral("Station"));
    prefsTabView->addTab(scrolling(buildAudioPage()), QStringLiteral("Audio"));
    prefsTabView->addTab(scrolling(buildTransmitPage()), QStringLiteral("Transmit"));
    prefsTabView->addTab(scrolling(buildMetersPage()), QStringLiteral("Meters"));
    prefsTabView->addTab(scrolling(buildCwPage()), QStringLiteral("CW"));
    prefsTabView->addTab(scrolling(buildEqualizerPage()), QStringLiteral("Equalizer"));
    prefsTabView->addTab(scrolling(buildProfilesPage()), QStringLiteral("Profiles"));
    prefsTabView->addTab(scrolling(buildAmplifierPage()), QStringLiteral("Amplifier"));
    prefsTabView->addTab(scrolling(buildTransverterPage()), QStringLiteral("Transverters"));
    prefsTabView->addTab(scrolling(buildKnobPage()), QStringLiteral("Knob"));
    setCentralWidget(prefsTabView);
    resize(980, 640);
}

QWidget* PreferencesWindow::buildRadioPage() {
    radioPrefsView = new QWidget;
    radioPrefsView->setObjectName(QStringLiteral("radioPrefsView"));
    auto* page = radioPrefsView;
    auto* grid = new QGridLayout(page);

    auto* radios = group(grid, 0, 0, QStringLiteral("Radios on the network"), 1, 2);
    radioTableView = new TableView(page);
    radioTableView->setObjectName(QStringLiteral("radioTableView"));
    radioTableView->setColumns(radioColumns());
    radioTableView->setMinimumHeight(120);
    radios->addWidget(radioTableView, 0, 0, 1, 2);
    frameStatus1 = label(page, QStringLiteral("frameStatus1"));
    radios->addWidget(frameStatus1, 1, 0, 1, 2);
    remoteRadioLabel =
        label(page, QStringLiteral("remoteRadioLabel"), QStringLiteral("DoroLink radios"));
    remoteRadioLabel->hide();
    radios->addWidget(remoteRadioLabel, 2, 0, 1, 2);
    remoteRadioTableView = new TableView(page);
    remoteRadioTableView->setObjectName(QStringLiteral("remoteRadioTableView"));
    remoteRadioTableView->setColumns(radioColumns());
    remoteRadioTableView->setMinimumHeight(100);
    radios->addWidget(remoteRadioTableView, 3, 0, 1, 2);

    auto* options = group(grid, 1, 0, QStringLiteral("Start-up and windows"));
    auto_connect = checkBox(page, QStringLiteral("auto_connect"),
                            QStringLiteral("Connect to the last radio at start"));
    check_for_updates = checkBox(page, QStringLiteral("check_for_updates"),
                                 QStringLiteral("Check for updates at start"));
    darkWindowsCheckBox =
        checkBox(page, QStringLiteral("darkWindowsCheckBox"), QStringLiteral("Dark windows"));
    hideHudInBackgroundCheckBox = checkBox(page, QStringLiteral("hideHudInBackgroundCheckBox"),
                                           QStringLiteral("Hide the HUD while in the background"));
    muteAlternateVFOCheckBox = checkBox(page, QStringLiteral("muteAlternateVFOCheckBox"),
                                        QStringLiteral("Mute all slices but the active one"));
    tuneTrvlCheckBox = checkBox(page, QStringLiteral("tuneTrvlCheckBox"),
                                QStringLiteral("Tell Tarvelo the frequency"));
    debug_enabled =
        checkBox(page, QStringLiteral("debug_enabled"), QStringLiteral("Detailed debug log"));
    for (CheckBox* box :
         {auto_connect, check_for_updates, darkWindowsCheckBox, hideHudInBackgroundCheckBox,
          muteAlternateVFOCheckBox, tuneTrvlCheckBox, debug_enabled}) {
        row(options, {}, {box});
    }

    auth_box = new QGroupBox(QStringLiteral("DoroLink remote access"), page);
    auth_box->setObjectName(QStringLiteral("auth_box"));
    auth_box->hide();
    auto* auth = new QGridLayout(auth_box);
    authUseDoroLinkButton =
        checkBox(auth_box, QStringLiteral("authUseDoroLinkButton"), QStringLiteral("Use DoroLink"));
    authProgressIndicator = new ProgressIndicator(auth_box);
    authProgressIndicator->setObjectName(QStringLiteral("authProgressIndicator"));
    authDoroLinkServerStatus = imageButton(auth_box, QStringLiteral("authDoroLinkServerStatus"));
    authDoroLinkServerStatus->setFixedSize(18, 18);
    authDoroLinkServerStatus->setToolTip(QStringLiteral("DoroLink server"));
    auth_login_button =
        button(auth_box, QStringLiteral("auth_login_button"), QStringLiteral("Log In…"));
    auth_net_button =
        button(auth_box, QStringLiteral("auth_net_button"), QStringLiteral("Network Test…"));
    auth_status = label(auth_box, QStringLiteral("auth_status"), QStringLiteral("DoroLink"));
    auth_email = label(auth_box, QStringLiteral("auth_email"));
    auth_picture = label(auth_box, QStringLiteral("auth_picture"));
    auth_picture->setFixedSize(48, 48);
    auth_picture->setScaledContents(true);
    auth->addWidget(authUseDoroLinkButton, 0, 0);
    auth->addWidget(authDoroLinkServerStatus, 0, 1);
    auth->addWidget(authProgressIndicator, 0, 2);
    auth->addWidget(auth_picture, 1, 0, 2, 1);
    auth->addWidget(auth_status, 1, 1, 1, 3);
    auth->addWidget(auth_email, 2, 1, 1, 3);
    auth->addWidget(auth_login_button, 3, 0);
    auth->addWidget(auth_net_button, 3, 1, 1, 2);
    auth->setColumnStretch(3, 1);
    grid->addWidget(auth_box, 1, 1, Qt::AlignTop);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    return page;
}

QWidget* PreferencesWindow::buildPanadapterPage() {
    panPrefsView = new QWidget;
    panPrefsView->setObjectName(QStringLiteral("panPrefsView"));
    auto* page = panPrefsView;
    auto* layout = new QVBoxLayout(page);
    panadapterTabView = new QTabWidget(page);
    panadapterTabView->setObjectName(QStringLiteral("panadapterTabView"));
    for (int pan = 0; pan < 4; ++pan) {
        panSettings[pan] = new PanSettingsPage(pan);
        panadapterTabView->addTab(panSettings[pan], QStringLiteral("Off"));
    }
    layout->addWidget(panadapterTabView);
    auto* shown = new QGroupBox(QStringLiteral("Shown on the panadapters"), page);
    auto* grid = new QGridLayout(shown);
    trvlSpotsButton =
        checkBox(shown, QStringLiteral("trvlSpotsButton"), QStringLiteral("Spots from Tarvelo"));
    radioSpotsButton =
        checkBox(shown, QStringLiteral("radioSpotsButton"), QStringLiteral("Spots from the radio"));
    memoryShowCB = checkBox(shown, QStringLiteral("memoryShowCB"), QStringLiteral("Memories"));
    zenithorNFMButton = checkBox(shown, QStringLiteral("zenithorNFMButton"),
                                 QStringLiteral("Narrow FM for Zenithor satellite tuning"));
    for (CheckBox* box : {trvlSpotsButton, radioSpotsButton, memoryShowCB, zenithorNFMButton}) {
        row(grid, {}, {box});
    }
    layout->addWidget(shown);
    layout->addStretch(1);
    return page;
}

QWidget* PreferencesWindow::buildSlicePage() {
    slicePrefsView = new QWidget;
    slicePrefsView->setObjectName(QStringLiteral("slicePrefsView"));
    auto* layout = new QVBoxLayout(slicePrefsView);
    layout->setContentsMargins(0, 0, 0, 0);
    sliceTabView = new QTabWidget(slicePrefsView);
    sliceTabView->setObjectName(QStringLiteral("sliceTabView"));
    const char letters[] = {'A', 'B', 'C', 'D'};
    for (int i = 0; i < 4; ++i) {
        slicePanels[i] = new SlicePanel(letters[i]);
        sliceTabView->addTab(scrolling(slicePanels[i]), QStringLiteral("Off"));
    }
    layout->addWidget(sliceTabView);
    return slicePrefsView;
}

QWidget* PreferencesWindow::buildStationPage() {
    regPrefsView = new QWidget;
    regPrefsView->setObjectName(QStringLiteral("regPrefsView"));
    auto* grid = new QGridLayout(regPrefsView);
    auto* station = group(grid, 0, 0, QStringLiteral("Station"));
    stationNameText = textField(regPrefsView, QStringLiteral("stationNameText"));
    stationNameText->setMinimumWidth(220);
    row(station, QStringLiteral("Station name"), {stationNameText});
    stationUptimeTextField = textField(regPrefsView, QStringLiteral("stationUptimeTextField"));
    stationUptimeTextField->setReadOnly(true);
    stationUptimeTextField->setMinimumWidth(220);
    row(station, QStringLiteral("Uptime"), {stationUptimeTextField});
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    return regPrefsView;
}

}  // namespace vm
