#pragma once
// The transverter editor: the Transverters page of the preferences with one tab per transverter
// of the open radio, whose fields send every change to the radio ("xvtr set"), its buttons that
// create, delete and select a transverter, and the transverter sub-menu of the Slices menu, through
// which the active slice moves onto one. Bands of transverters are "X" and the key ("X0"); the
// editor names them for the band labels.
//
// The editor keeps nothing of its own but the transverter last chosen: each rebuild makes the
// tabs and the menu again from the radio's list, so they follow the radio's reports ("xvtrAdded"
// comes for a new, a changed and a removed transverter). A change is stored at once in the
// radio's list as a new record in the old one's place (records there never change); the radio's
// status line confirms or corrects it. Main thread only.
#include "app/memory/TransverterHost.h"
#include "platform/core/NotificationCenter.h"

#include <QPointer>

#include <memory>
#include <string>

namespace vm {

class MenuItem;
class TransverterPrefsPage;
class Xvtr;

class TransverterEditor : public std::enable_shared_from_this<TransverterEditor> {
public:
    // The editor of the page and of the sub-menu of `xvtrShortcutsMenu`, both of which outlive
    // it; it connects the page's signals to its actions.
    static std::shared_ptr<TransverterEditor> create(TransverterPrefsPage& page,
                                                     MenuItem& xvtrShortcutsMenu,
                                                     std::weak_ptr<TransverterHost> host);
    TransverterEditor(const TransverterEditor&) = delete;
    TransverterEditor& operator=(const TransverterEditor&) = delete;

    // The tabs and the sub-menu made again from the open radio's list (empty without a radio),
    // the stored tab ("xvtr_tab_view") selected.
    void reloadXvtrTabItemsAndSubMenus();
    // "xvtrAdded": a transverter added, changed or removed (object: its new record).
    void xvtrNotification(const Notification& notification);

    // --- The page's actions ---
    void xvtrAdd();
    // Asks the user, then asks the radio to remove the selected transverter.
    void xvtrDelete();
    // A field's entry or a check box, by its tag: sent, stored, and the editor rebuilt on the
    // same tab.
    void xvtrValueChanged(int tag, const std::string& text);
    void xvtrButtonChanged(int tag, bool on);
    void xvtrSelectButtonPressed();
    void tabViewDidSelectTabViewItem(int index);
    // A sub-menu item: its transverter activated.
    void xvtrMenuChanged(const MenuItem& item);

    // The active slice moved onto the transverter: its panadapter to the transverter's band,
    // then, 0.1 s later, the slice tuned to `frequency` (MHz), to `mode` when there is one, and
    // its antennas to the transverter (receive only, for a receive-only transverter).
    void activateXvtr(const std::shared_ptr<Xvtr>& xvtr, const std::string& frequency,
                      const std::string& mode);
    // The active and alternate slices that use the transverter back on their saved antennas.
    void restoreHFAntennas();

    // The name of the open radio's transverter of a band "X<key>"; "?" without one.
    std::string xvtrNameForXKey(const std::string& band) const;

    // The transverter last chosen in the tabs, the sub-menu or by the select button.
    std::shared_ptr<Xvtr> lastTransverter;

private:
    TransverterEditor(TransverterPrefsPage& page, MenuItem& menu,
                      std::weak_ptr<TransverterHost> host);
    void connectPage();

    std::shared_ptr<TransverterHost> host() const { return host_.lock(); }
    std::shared_ptr<Radio> radio() const;
    bool debug() const;
    // The transverter of the selected tab; none without one or without a radio.
    std::shared_ptr<Xvtr> selectedTransverter() const;
    // Stores the changed record in the radio's list in place of the old one.
    void storeLocally(const std::shared_ptr<Xvtr>& old, const std::shared_ptr<Xvtr>& changed);
    // Rebuilds, then selects the tab of `index` again.
    void reloadAt(int index);

    QPointer<TransverterPrefsPage> page_;
    QPointer<MenuItem> xvtrShortcutsMenu_;
    std::weak_ptr<TransverterHost> host_;
};

// The name a transverter is shown by: its own, or "X" and its key when it has none.
std::string xvtrShownName(const Xvtr& xvtr);

}  // namespace vm
