#pragma once
// The preferences' Radio tab: the radios on the network and through DoroLink, the session's status
// line, the start-up and window check boxes, and the DoroLink login.
#include "app/windows/PreferencesPage.h"

#include <QImage>
#include <QPixmap>
#include <QString>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace vm {

class CheckBox;
class ImageButton;
class ProgressIndicator;
class TableDataSource;
class TableView;

class RadioPrefsPage : public PreferencesPage {
    Q_OBJECT

public:
    explicit RadioPrefsPage(QWidget* parent = nullptr);

    // Also enables the login button exactly when DoroLink is in use.
    void restore() override;
    void defaults() override;

    bool debugEnabled() const;
    bool checkForUpdates() const;
    bool autoConnect() const;
    void setAutoConnect(bool on);
    bool darkWindows() const;
    bool hideHudInBackground() const;
    bool muteAlternateVFO() const;
    bool tuneTrvl() const;

    // The session's status line (frameStatus1).
    void setStatusText(const QString& text);
    // The radio tables show their sources' rows anew.
    void reloadLocalRadios();
    void reloadRemoteRadios();

    // DoroLink: the group and the remote table shown, the network test offered, the progress
    // indicator running while a request is out, the server's light, and the signed-in identity.
    void showDoroLink();
    void setNetworkTestEnabled(bool enabled);
    void setDoroLinkBusy(bool busy);
    void setDoroLinkServerImage(const QImage& image);
    void setDoroLinkServerToolTip(const QString& text);
    // The DoroLink check box's state; turning it off also disables the login button.
    bool useDoroLink() const;
    void uncheckDoroLinkButton();
    // The selected rows of the local and DoroLink radio tables, -1 without one.
    int selectedLocalRow() const;
    int selectedRemoteRow() const;
    // Where the local and DoroLink radio tables take their rows (held weakly).
    void setLocalRadioSource(std::weak_ptr<TableDataSource> source);
    void setRemoteRadioSource(std::weak_ptr<TableDataSource> source);
    void setIdentityEmail(const QString& text);
    void setIdentityStatus(const QString& text);
    // A null picture clears it.
    void setIdentityPicture(const QPixmap& picture);

signals:
    // The operator's changes, each with the control's new state.
    void debugChanged(bool on);
    void checkForUpdatesChanged(bool on);
    void autoConnectChanged(bool on);
    void tuneTrvlCheckBoxChanged(bool on);
    void darkWindowsChanged(bool on);
    void muteAlternateVFOCheckBoxChanged(bool on);
    void hideHudInBackgroundChanged(bool on);
    void authUseDoroLinkButtonPressed(bool on);
    void authLoginButton_Pressed();
    void authNetButton_Pressed();
    // A double click on the local or DoroLink radio table, with its selected row (-1 without
    // one).
    void radioTableDoubleClick(int row);
    void remoteRadioTableDoubleClick(int row);

private:
    void showLoginAllowed();

    TableView* radioTableView;
    TableView* remoteRadioTableView;
    QLabel* remoteRadioLabel;
    QLabel* frameStatus1;
    CheckBox* auto_connect;
    CheckBox* check_for_updates;
    CheckBox* debug_enabled;
    CheckBox* darkWindowsCheckBox;
    CheckBox* hideHudInBackgroundCheckBox;
    CheckBox* muteAlternateVFOCheckBox;
    CheckBox* tuneTrvlCheckBox;
    QGroupBox* auth_box;
    CheckBox* authUseDoroLinkButton;
    QPushButton* auth_login_button;
    QPushButton* auth_net_button;
    ProgressIndicator* authProgressIndicator;
    ImageButton* authDoroLinkServerStatus;
    QLabel* auth_status;
    QLabel* auth_email;
    QLabel* auth_picture;
};

}  // namespace vm
