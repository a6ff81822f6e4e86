#pragma once
// The slice menu ("Slices" in the menu bar) brought up to date each time it opens: the check
// marks of the per-slice items of the active, lock and transmit sub-menus (in the menu bar and in
// the panadapters' contextual menu) follow the slices; "Add Slice" needs a radio with a slice to
// spare; the A/B swap and copy items need slices A and B; the active, lock and transmit
// sub-menus need slice A or B; and the centring item names the band of the panadapter under the
// heads-up display. Main thread only.
#include <memory>

namespace vm {

struct MainMenus;
class VfoMenuHost;

class VfoMenu : public std::enable_shared_from_this<VfoMenu> {
public:
    // Adjusts the menus each time the slice menu is about to show, while both live.
    static std::shared_ptr<VfoMenu> create(MainMenus& menus, std::weak_ptr<VfoMenuHost> host);

    void adjustVFOMenu();

private:
    VfoMenu(MainMenus& menus, std::weak_ptr<VfoMenuHost> host);

    MainMenus& menus_;
    std::weak_ptr<VfoMenuHost> host_;
};

}  // namespace vm
