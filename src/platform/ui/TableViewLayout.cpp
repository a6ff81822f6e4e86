// The table's column layout in the defaults: under "TableView Layout <autosave name>", a
// dictionary with "columns" (in the order shown: "identifier" and "width") and "sort" (the sort
// descriptors: "key" and "ascending"). What does not fit the table's columns is ignored.
#include "platform/core/Defaults.h"
#include "platform/ui/TableView.h"

#include <QHeaderView>

#include <algorithm>
#include <set>

namespace vm {

namespace {

constexpr int kMinimumWidth = 16;
constexpr int kMaximumWidth = 4000;

const PlistValue* member(const PlistDict& dict, const std::string& key) {
    auto it = dict.find(key);
    return it == dict.end() ? nullptr : &it->second;
}

std::optional<double> number(const PlistValue* value) {
    if (!value) {
        return std::nullopt;
    }
    if (auto* i = value->get<std::int64_t>()) {
        return double(*i);
    }
    if (auto* d = value->get<double>()) {
        return *d;
    }
    return std::nullopt;
}

}  // namespace

std::string TableView::layoutKey() const { return "TableView Layout " + autosaveName_; }

void TableView::setAutosaveName(std::string name) {
    saveTimer_.stop();
    autosaveName_ = std::move(name);
    restoreLayout();
}

void TableView::saveLayout() {
    saveTimer_.stop();
    if (autosaveName_.empty()) {
        return;
    }
    PlistArray columns;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < int(columns_.size()); ++visual) {
        const int logical = header->logicalIndex(visual);
        PlistDict column;
        column["identifier"] = columns_[std::size_t(logical)].identifier;
        column["width"] = header->sectionSize(logical);
        columns.emplace_back(std::move(column));
    }
    PlistArray sort;
    for (const SortDescriptor& d : sort_) {
        PlistDict descriptor;
        descriptor["key"] = d.key;
        descriptor["ascending"] = d.ascending;
        sort.emplace_back(std::move(descriptor));
    }
    PlistDict layout;
    layout["columns"] = std::move(columns);
    layout["sort"] = std::move(sort);
    Defaults::standard().set(layoutKey(), std::move(layout));
}

void TableView::restoreLayout() {
    if (autosaveName_.empty() || columns_.empty()) {
        return;
    }
    auto stored = Defaults::standard().dictionaryForKey(layoutKey());
    if (!stored) {
        return;
    }
    restoring_ = true;
    QHeaderView* header = horizontalHeader();
    if (auto* list = member(*stored, "columns"); list && list->get<PlistArray>()) {
        int visual = 0;
        std::set<std::string> placed;
        for (const PlistValue& entry : *list->get<PlistArray>()) {
            const auto* dict = entry.get<PlistDict>();
            const auto* id = dict ? member(*dict, "identifier") : nullptr;
            const auto* identifier = id ? id->get<std::string>() : nullptr;
            if (!identifier || !placed.insert(*identifier).second) {
                continue;
            }
            auto column = std::find_if(columns_.begin(), columns_.end(), [&](const TableColumn& c) {
                return c.identifier == *identifier;
            });
            if (column == columns_.end()) {
                continue;
            }
            const int logical = int(column - columns_.begin());
            header->moveSection(header->visualIndex(logical), visual++);
            if (auto width = number(member(*dict, "width"))) {
                header->resizeSection(
                    logical, int(std::clamp(*width, double(kMinimumWidth), double(kMaximumWidth))));
            }
        }
    }
    if (auto* list = member(*stored, "sort"); list && list->get<PlistArray>()) {
        std::vector<SortDescriptor> sort;
        for (const PlistValue& entry : *list->get<PlistArray>()) {
            const auto* dict = entry.get<PlistDict>();
            const auto* key = dict ? member(*dict, "key") : nullptr;
            const auto* ascending = dict ? member(*dict, "ascending") : nullptr;
            if (!key || !key->get<std::string>() || !ascending || !ascending->get<bool>()) {
                continue;
            }
            const std::string& name = *key->get<std::string>();
            const bool known = std::any_of(
                columns_.begin(), columns_.end(),
                [&](const TableColumn& c) { return !c.sortKey.empty() && c.sortKey == name; });
            if (known) {
                sort.push_back({name, *ascending->get<bool>()});
            }
        }
        sort_ = std::move(sort);
        showSortIndicator();
    }
    restoring_ = false;
}

}  // namespace vm
