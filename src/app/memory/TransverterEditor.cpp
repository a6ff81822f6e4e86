// The transverter editor's tabs and sub-menu, rebuilt from the open radio's list, and the band
// names of transverters.
#include "app/memory/TransverterEditor.h"

#include "app/windows/TransverterPrefsPage.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/TextValues.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"

#include <fmt/format.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace vm {

namespace {

// The LO error shows as a whole number of hertz: the fraction is cut off, and a value beyond
// what the field can hold shows as its limit.
std::string wholeHertz(double hz) {
    if (std::isnan(hz)) {
        return "0";
    }
    return fmt::format("{}", int(std::clamp(hz, double(INT_MIN), double(INT_MAX))));
}

TransverterTabFields tabFields(const Xvtr& xvtr) {
    const double rf = xvtr.rf_freq.value_or(0);
    const double ifreq = xvtr.if_freq.value_or(0);
    TransverterTabFields fields;
    fields.identifier = xvtr.key.value_or("");
    fields.name = xvtrShownName(xvtr);
    fields.rfFreq = fmt::format("{:.3f}", rf);
    fields.ifFreq = fmt::format("{:.3f}", ifreq);
    fields.loFreq = fmt::format("{:.3f}", rf - ifreq);
    fields.loError = wholeHertz(xvtr.lo_error.value_or(0));
    fields.maxPower = fmt::format("{:.1f}", xvtr.max_power.value_or(0));
    fields.rxGain = fmt::format("{:.1f}", xvtr.rx_gain.value_or(0));
    fields.rxOnly = xvtr.rx_only.value_or(0) != 0;
    fields.valid = xvtr.is_valid.value_or(0) != 0;
    return fields;
}

}  // namespace

std::string xvtrShownName(const Xvtr& xvtr) {
    const std::string name = xvtr.name.value_or("");
    return name.empty() ? "X" + xvtr.key.value_or("") : name;
}

std::shared_ptr<TransverterEditor> TransverterEditor::create(TransverterPrefsPage& page,
                                                             MenuItem& xvtrShortcutsMenu,
                                                             std::weak_ptr<TransverterHost> host) {
    std::shared_ptr<TransverterEditor> editor(
        new TransverterEditor(page, xvtrShortcutsMenu, std::move(host)));
    editor->connectPage();
    return editor;
}

TransverterEditor::TransverterEditor(TransverterPrefsPage& page, MenuItem& menu,
                                     std::weak_ptr<TransverterHost> host)
    : page_(&page), xvtrShortcutsMenu_(&menu), host_(std::move(host)) {}

void TransverterEditor::connectPage() {
    std::weak_ptr<TransverterEditor> weak = weak_from_this();
    auto to = [weak](auto action) {
        return [weak, action](auto... args) {
            if (const auto self = weak.lock()) {
                ((*self).*action)(args...);
            }
        };
    };
    TransverterPrefsPage* page = page_;
    QObject::connect(page, &TransverterPrefsPage::xvtrAddPressed, page,
                     to(&TransverterEditor::xvtrAdd));
    QObject::connect(page, &TransverterPrefsPage::xvtrDeletePressed, page,
                     to(&TransverterEditor::xvtrDelete));
    QObject::connect(page, &TransverterPrefsPage::xvtrSelectButtonPressed, page,
                     to(&TransverterEditor::xvtrSelectButtonPressed));
    QObject::connect(page, &TransverterPrefsPage::xvtrTabSelected, page, [weak](int index) {
        if (const auto self = weak.lock()) {
            self->tabViewDidSelectTabViewItem(index);
        }
    });
    QObject::connect(page, &TransverterPrefsPage::xvtrValueChanged, page,
                     [weak](int tag, const std::string& text) {
                         if (const auto self = weak.lock()) {
                             self->xvtrValueChanged(tag, text);
                         }
                     });
    QObject::connect(page, &TransverterPrefsPage::xvtrButtonChanged, page,
                     [weak](int tag, bool on) {
                         if (const auto self = weak.lock()) {
                             self->xvtrButtonChanged(tag, on);
                         }
                     });
}

std::shared_ptr<Radio> TransverterEditor::radio() const {
    const auto h = host();
    return h ? h->currentRadio() : nullptr;
}

bool TransverterEditor::debug() const {
    const auto h = host();
    return h && h->debugEnabled();
}

void TransverterEditor::xvtrNotification(const Notification& notification) {
    if (const auto xvtr = std::static_pointer_cast<Xvtr>(notification.object); xvtr && debug()) {
        const bool added = xvtr->in_use.value_or(0) != 0;
        log("xvtrNotification:{} XVTR:key:{} name:{}, {:g} MHz.", added ? "added  " : "removed",
            xvtr->key.value_or(""), xvtr->name.value_or(""), xvtr->rf_freq.value_or(0));
    }
    reloadXvtrTabItemsAndSubMenus();
}

void TransverterEditor::reloadXvtrTabItemsAndSubMenus() {
    if (!page_ || !xvtrShortcutsMenu_) {
        return;
    }
    page_->removeAllTransverterTabs();
    auto menu = std::make_unique<Menu>("SubMenus");
    const std::shared_ptr<Radio> open = radio();
    std::vector<std::shared_ptr<Xvtr>> xvtrs;
    if (open) {
        xvtrs = open->xvtrs()->with([](const auto& list) { return list; });
    }
    std::weak_ptr<TransverterEditor> weak = weak_from_this();
    int position = 0;
    for (std::shared_ptr<Xvtr> xvtr : xvtrs) {
        // A transverter without a name is called after its band; the radio is not told.
        if (xvtr->name.value_or("").empty()) {
            auto named = std::make_shared<Xvtr>(*xvtr);
            named->name = xvtrShownName(*xvtr);
            storeLocally(xvtr, named);
            xvtr = named;
        }
        const TransverterTabFields fields = tabFields(*xvtr);
        if (debug()) {
            log("reloadXvtrTabItemsAndSubMenus:key:[{}], name:[{}]", fields.identifier,
                fields.name);
        }
        page_->addTransverterTab(fields);
        MenuItem* item = menu->addItem(fields.name, [weak](MenuItem& chosen) {
            if (const auto self = weak.lock()) {
                self->xvtrMenuChanged(chosen);
            }
        });
        item->setTag(position++);
        item->setEnabled(true);
        item->setRepresentedObject(xvtr);
    }
    if (const auto stored = Defaults::standard().integerForKey("xvtr_tab_view");
        stored && page_->transverterTabCount() > 0) {
        const long long last = page_->transverterTabCount() - 1;
        page_->selectTransverterTab(int(std::clamp(*stored, 0LL, last)));
    }
    tabViewDidSelectTabViewItem(page_->selectedTransverterTab());
    xvtrShortcutsMenu_->setSubmenu(std::move(menu));
}

void TransverterEditor::reloadAt(int index) {
    reloadXvtrTabItemsAndSubMenus();
    if (page_ && index >= 0 && index < page_->transverterTabCount()) {
        page_->selectTransverterTab(index);
        tabViewDidSelectTabViewItem(index);
    }
}

void TransverterEditor::tabViewDidSelectTabViewItem(int index) {
    const std::shared_ptr<Radio> open = radio();
    if (!page_ || !open || index < 0) {
        return;
    }
    const std::string key = page_->transverterTabIdentifier(index);
    const std::shared_ptr<Xvtr> xvtr = open->xvtrForKey(key);
    if (!xvtr) {
        return;
    }
    lastTransverter = xvtr;
    const std::string name = xvtr->name.value_or("");
    page_->setSelectedTransverterButtons(fmt::format("Delete {} Transverter", name),
                                         fmt::format("Select {} Transverter", name),
                                         textIntValue(key));
}

std::shared_ptr<Xvtr> TransverterEditor::selectedTransverter() const {
    const std::shared_ptr<Radio> open = radio();
    if (!page_ || !open) {
        return nullptr;
    }
    const int index = page_->selectedTransverterTab();
    return index < 0 ? nullptr : open->xvtrForKey(page_->transverterTabIdentifier(index));
}

void TransverterEditor::storeLocally(const std::shared_ptr<Xvtr>& old,
                                     const std::shared_ptr<Xvtr>& changed) {
    if (const std::shared_ptr<Radio> open = radio()) {
        open->xvtrs()->with(
            [&](auto& list) { std::replace(list.begin(), list.end(), old, changed); });
    }
}

std::string TransverterEditor::xvtrNameForXKey(const std::string& band) const {
    const std::shared_ptr<Radio> open = radio();
    if (band.size() < 2 || !open) {
        return "?";
    }
    const std::shared_ptr<Xvtr> xvtr = open->xvtrForKey(band.substr(1));
    return xvtr ? xvtrShownName(*xvtr) : "?";
}

}  // namespace vm
