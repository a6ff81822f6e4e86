#include "app/windows/ProfilesPrefsPage.h"

#include "app/windows/WidgetKit.h"

namespace vm {

using namespace kit;

ProfilesPrefsPage::ProfilesPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* grid = new QGridLayout(this);
    auto* profiles = group(grid, 0, 0, QStringLiteral("Profiles"));
    auto profileRow = [&](const QString& caption, const QString& kind, PopUpButton*& popup,
                          ImageButton*& save, ImageButton*& add, ImageButton*& remove) {
        popup = popUp(this, QStringLiteral("%1ProfilesPopup").arg(kind));
        popup->setMinimumWidth(220);
        const QString stem = kind.left(1).toUpper() + kind.mid(1);
        save = imageButton(this, QStringLiteral("save%1ProfileButton").arg(stem));
        add = imageButton(this, QStringLiteral("add%1ProfileButton").arg(stem));
        remove = imageButton(this, QStringLiteral("delete%1ProfileButton").arg(stem));
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

    const std::pair<PopUpButton*, void (ProfilesPrefsPage::*)(const std::string&)> popups[] = {
        {globalProfilesPopup, &ProfilesPrefsPage::globalProfilesPopupChanged},
        {txProfilesPopup, &ProfilesPrefsPage::txProfilesPopupChanged},
        {micProfilesPopup, &ProfilesPrefsPage::micProfilesPopupChanged}};
    for (const auto& [popup, signal] : popups) {
        connect(popup, &PopUpButton::action, this,
                [this, popup, signal] { (this->*signal)(popup->title()); });
    }
}

PopUpButton* ProfilesPrefsPage::popup(Kind kind) const {
    switch (kind) {
        case Kind::global: return globalProfilesPopup;
        case Kind::transmit: return txProfilesPopup;
        case Kind::mic: return micProfilesPopup;
    }
    return globalProfilesPopup;
}

std::string ProfilesPrefsPage::selectedProfile(Kind kind) const { return popup(kind)->title(); }

bool ProfilesPrefsPage::chooseProfile(Kind kind, const std::string& title) {
    PopUpButton* chosen = popup(kind);
    const int index = chosen->indexOfItemWithTitle(title);
    if (index < 0) {
        return false;
    }
    chosen->selectItemAtIndex(index);
    chosen->sendAction();
    return true;
}

void ProfilesPrefsPage::setButtonImages(const QImage& save, const QImage& add,
                                        const QImage& remove) {
    for (ImageButton* b : {saveGlobalProfileButton, saveTxProfileButton, saveMicProfileButton}) {
        b->setImage(save);
    }
    for (ImageButton* b : {addGlobalProfileButton, addTxProfileButton, addMicProfileButton}) {
        b->setImage(add);
    }
    for (ImageButton* b :
         {deleteGlobalProfileButton, deleteTxProfileButton, deleteMicProfileButton}) {
        b->setImage(remove);
    }
}

}  // namespace vm
