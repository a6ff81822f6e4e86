#include "app/windows/RadioPrefsPage.h"

#include "app/windows/WidgetKit.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TableView.h"

namespace vm {

using namespace kit;

namespace {

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

// A table of radios whose column layout is kept under its autosave name.
TableView* radioTable(QWidget* parent, const QString& name, const std::string& autosaveName,
                      int minimumHeight) {
    auto* table = new TableView(parent);
    table->setObjectName(name);
    table->setColumns(radioColumns());
    table->setAutosaveName(autosaveName);
    table->setMinimumHeight(minimumHeight);
    return table;
}

}  // namespace

RadioPrefsPage::RadioPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    setObjectName(QStringLiteral("radioPrefsView"));
    auto* grid = new QGridLayout(this);

    auto* radios = group(grid, 0, 0, QStringLiteral("Radios on the network"), 1, 2);
    radioTableView =
        radioTable(this, QStringLiteral("radioTableView"), "vmsdr_local_table_settings", 120);
    radios->addWidget(radioTableView, 0, 0, 1, 2);
    frameStatus1 = label(this, QStringLiteral("frameStatus1"));
    radios->addWidget(frameStatus1, 1, 0, 1, 2);
    remoteRadioLabel =
        label(this, QStringLiteral("remoteRadioLabel"), QStringLiteral("DoroLink radios"));
    remoteRadioLabel->hide();
    radios->addWidget(remoteRadioLabel, 2, 0, 1, 2);
    remoteRadioTableView = radioTable(this, QStringLiteral("remoteRadioTableView"),
                                      "vmsdr_remote_table_settings", 100);
    radios->addWidget(remoteRadioTableView, 3, 0, 1, 2);

    auto* options = group(grid, 1, 0, QStringLiteral("Start-up and windows"));
    auto_connect = checkBox(this, QStringLiteral("auto_connect"),
                            QStringLiteral("Connect to the last radio at start"));
    check_for_updates = checkBox(this, QStringLiteral("check_for_updates"),
                                 QStringLiteral("Check for updates at start"));
    darkWindowsCheckBox =
        checkBox(this, QStringLiteral("darkWindowsCheckBox"), QStringLiteral("Dark windows"));
    hideHudInBackgroundCheckBox = checkBox(this, QStringLiteral("hideHudInBackgroundCheckBox"),
                                           QStringLiteral("Hide the HUD while in the background"));
    muteAlternateVFOCheckBox = checkBox(this, QStringLiteral("muteAlternateVFOCheckBox"),
                                        QStringLiteral("Mute all slices but the active one"));
    tuneTrvlCheckBox = checkBox(this, QStringLiteral("tuneTrvlCheckBox"),
                                QStringLiteral("Tell Tarvelo the frequency"));
    debug_enabled =
        checkBox(this, QStringLiteral("debug_enabled"), QStringLiteral("Detailed debug log"));
    for (CheckBox* box :
         {auto_connect, check_for_updates, darkWindowsCheckBox, hideHudInBackgroundCheckBox,
          muteAlternateVFOCheckBox, tuneTrvlCheckBox, debug_enabled}) {
        row(options, {}, {box});
    }

    auth_box = new QGroupBox(QStringLiteral("DoroLink remote access"), this);
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

    stored_.checkBox(hideHudInBackgroundCheckBox, "hide_hud_in_background", false);
    stored_.checkBox(debug_enabled, "debug_state", false);
    stored_.checkBox(muteAlternateVFOCheckBox, "mute_alternate_audio", false);
    stored_.checkBox(check_for_updates, "check_for_updates", true);
    stored_.checkBox(auto_connect, "auto_connect", true);
    stored_.checkBox(tuneTrvlCheckBox, "tune_trvl", true);
    stored_.checkBox(authUseDoroLinkButton, "auth_use_doro_link", false);
    stored_.checkBox(darkWindowsCheckBox, "vmsdr_dark_windows", false);

    const std::pair<CheckBox*, void (RadioPrefsPage::*)(bool)> boxes[] = {
        {debug_enabled, &RadioPrefsPage::debugChanged},
        {check_for_updates, &RadioPrefsPage::checkForUpdatesChanged},
        {auto_connect, &RadioPrefsPage::autoConnectChanged},
        {tuneTrvlCheckBox, &RadioPrefsPage::tuneTrvlCheckBoxChanged},
        {darkWindowsCheckBox, &RadioPrefsPage::darkWindowsChanged},
        {muteAlternateVFOCheckBox, &RadioPrefsPage::muteAlternateVFOCheckBoxChanged},
        {hideHudInBackgroundCheckBox, &RadioPrefsPage::hideHudInBackgroundChanged},
        {authUseDoroLinkButton, &RadioPrefsPage::authUseDoroLinkButtonPressed}};
    for (const auto& [box, signal] : boxes) {
        connect(box, &CheckBox::action, this,
                [this, box, signal] { (this->*signal)(box->state()); });
    }
    connect(radioTableView, &TableView::doubleAction, this,
            [this](int) { emit radioTableDoubleClick(radioTableView->selectedRow()); });
    connect(remoteRadioTableView, &TableView::doubleAction, this,
            [this](int) { emit remoteRadioTableDoubleClick(remoteRadioTableView->selectedRow()); });
    connect(authUseDoroLinkButton, &CheckBox::action, this, &RadioPrefsPage::showLoginAllowed);
    connect(auth_login_button, &QPushButton::clicked, this,
            &RadioPrefsPage::authLoginButton_Pressed);
    connect(auth_net_button, &QPushButton::clicked, this, &RadioPrefsPage::authNetButton_Pressed);
}

void RadioPrefsPage::restore() {
    PreferencesPage::restore();
    showLoginAllowed();
}

void RadioPrefsPage::defaults() {
    PreferencesPage::defaults();
    showLoginAllowed();
}

void RadioPrefsPage::showLoginAllowed() {
    auth_login_button->setEnabled(authUseDoroLinkButton->state());
}

bool RadioPrefsPage::debugEnabled() const { return debug_enabled->state(); }
bool RadioPrefsPage::checkForUpdates() const { return check_for_updates->state(); }
bool RadioPrefsPage::autoConnect() const { return auto_connect->state(); }
void RadioPrefsPage::setAutoConnect(bool on) { auto_connect->setState(on); }
bool RadioPrefsPage::darkWindows() const { return darkWindowsCheckBox->state(); }
bool RadioPrefsPage::hideHudInBackground() const { return hideHudInBackgroundCheckBox->state(); }
bool RadioPrefsPage::muteAlternateVFO() const { return muteAlternateVFOCheckBox->state(); }
bool RadioPrefsPage::tuneTrvl() const { return tuneTrvlCheckBox->state(); }

void RadioPrefsPage::setStatusText(const QString& text) { frameStatus1->setText(text); }
void RadioPrefsPage::reloadLocalRadios() { radioTableView->reloadData(); }
void RadioPrefsPage::reloadRemoteRadios() { remoteRadioTableView->reloadData(); }

void RadioPrefsPage::showDoroLink() {
    auth_box->show();
    remoteRadioLabel->show();
}

void RadioPrefsPage::setNetworkTestEnabled(bool enabled) { auth_net_button->setEnabled(enabled); }

void RadioPrefsPage::setDoroLinkBusy(bool busy) {
    if (busy) {
        authProgressIndicator->startAnimation();
    } else {
        authProgressIndicator->stopAnimation();
    }
}

void RadioPrefsPage::setDoroLinkServerImage(const QImage& image) {
    authDoroLinkServerStatus->setImage(image);
}

void RadioPrefsPage::setDoroLinkServerToolTip(const QString& text) {
    authDoroLinkServerStatus->setToolTip(text);
}

bool RadioPrefsPage::useDoroLink() const { return authUseDoroLinkButton->state(); }

void RadioPrefsPage::uncheckDoroLinkButton() {
    authUseDoroLinkButton->setState(false);
    showLoginAllowed();
}

int RadioPrefsPage::selectedLocalRow() const { return radioTableView->selectedRow(); }
int RadioPrefsPage::selectedRemoteRow() const { return remoteRadioTableView->selectedRow(); }

void RadioPrefsPage::setLocalRadioSource(std::weak_ptr<TableDataSource> source) {
    radioTableView->setDataSource(std::move(source));
}

void RadioPrefsPage::setRemoteRadioSource(std::weak_ptr<TableDataSource> source) {
    remoteRadioTableView->setDataSource(std::move(source));
}

void RadioPrefsPage::setIdentityEmail(const QString& text) { auth_email->setText(text); }
void RadioPrefsPage::setIdentityStatus(const QString& text) { auth_status->setText(text); }

void RadioPrefsPage::setIdentityPicture(const QPixmap& picture) {
    if (picture.isNull()) {
        auth_picture->clear();
    } else {
        auth_picture->setPixmap(picture);
    }
}

}  // namespace vm
