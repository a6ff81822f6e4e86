#pragma once
// The preferences' Profiles tab: the radio's global, transmit and microphone profiles, each a
// pop-up with its save, new and delete buttons.
#include "app/windows/PreferencesPage.h"

#include <QImage>

#include <array>
#include <string>

namespace vm {

class ImageButton;
class PopUpButton;

class ProfilesPrefsPage : public PreferencesPage {
    Q_OBJECT

public:
    enum class Kind { global, transmit, mic };

    explicit ProfilesPrefsPage(QWidget* parent = nullptr);

    // The title of the kind's chosen profile; empty when none is chosen.
    std::string selectedProfile(Kind kind) const;
    // Chooses the kind's profile of this title as the operator would, with the kind's signal;
    // false, and nothing chosen, when the pop-up has no such profile.
    bool chooseProfile(Kind kind, const std::string& title);
    void setButtonImages(const QImage& save, const QImage& add, const QImage& remove);

signals:
    // A profile chosen, by its title.
    void globalProfilesPopupChanged(const std::string& title);
    void txProfilesPopupChanged(const std::string& title);
    void micProfilesPopupChanged(const std::string& title);

private:
    PopUpButton* popup(Kind kind) const;

    PopUpButton* globalProfilesPopup;
    PopUpButton* txProfilesPopup;
    PopUpButton* micProfilesPopup;
    ImageButton* saveGlobalProfileButton;
    ImageButton* addGlobalProfileButton;
    ImageButton* deleteGlobalProfileButton;
    ImageButton* saveTxProfileButton;
    ImageButton* addTxProfileButton;
    ImageButton* deleteTxProfileButton;
    ImageButton* saveMicProfileButton;
    ImageButton* addMicProfileButton;
    ImageButton* deleteMicProfileButton;
};

}  // namespace vm
