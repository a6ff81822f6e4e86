// "xvtr" and "tnf" status lines: the radio's transverters and this client's tracking notch filters.
// Both lists change on the main queue only, once a line has been read, so that observers of
// "xvtrAdded" and "com.velmorasoftware.doro.tnf_created" find the list already changed.
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"
#include "radio/RadioRecordTables.h"
#include "radio/TNF.h"
#include "radio/Xvtr.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace vm {

namespace {

// The radio reports the oscillator error in MHz; the record keeps hertz.
void loError(Xvtr& xvtr, const std::string& value) {
    xvtr.lo_error = strings::doubleValue(value) * 1'000'000;
}

}  // namespace

const RecordTable<Xvtr>& xvtrRecordTable() {
    static const RecordTable<Xvtr> table{"Radio:parseXvtrToken:Unrecognized token:[{key}]",
                                         {
                                             {"name", field<&Xvtr::name>},
                                             {"rf_freq", field<&Xvtr::rf_freq>},
                                             {"if_freq", field<&Xvtr::if_freq>},
                                             {"lo_error", loError},
                                             {"max_power", field<&Xvtr::max_power>},
                                             {"rx_gain", field<&Xvtr::rx_gain>},
                                             {"order", field<&Xvtr::order>},
                                             {"rx_only", flag<&Xvtr::rx_only>},
                                             {"is_valid", flag<&Xvtr::is_valid>},
                                             {"preferred", flag<&Xvtr::preferred>},
                                             {"two_meter_int", field<&Xvtr::two_meter_int>},
                                             {"in_use", flag<&Xvtr::in_use>},
                                         }};
    return table;
}

const RecordTable<TNF>& tnfRecordTable() {
    static const RecordTable<TNF> table{"Radio:parseTnfToken:Unrecognized token:[{key}]",
                                        {
                                            {"freq", field<&TNF::frequency>},
                                            {"depth", field<&TNF::depth>},
                                            {"width", field<&TNF::width>},
                                            {"permanent", field<&TNF::permanent>},
                                        }};
    return table;
}

// "<key> name=... rf_freq=... in_use=...": every line is the whole transverter. On the main queue
// it replaces the stored record of its key (found as xvtrForKey finds it), or removes it when the
// line says in_use=0; "xvtrAdded" is posted either way, with the new record.
void Radio::parseXvtrToken(Scanner& scan) {
    auto xvtr = std::make_shared<Xvtr>();
    xvtr->key = recordIdentifier(scan);
    xvtrRecordTable().read(*xvtr, scan);
    DispatchQueue::main()->async([self = shared_from_this(), xvtr] {
        const std::shared_ptr<Xvtr> known = self->xvtrForKey(xvtr->key.value_or(""));
        self->xvtrs()->with([&](auto& list) {
            std::erase(list, known);
            if (xvtr->in_use.value_or(0) != 0) {
                list.push_back(xvtr);
            }
        });
        NotificationCenter::defaultCenter().post("xvtrAdded", xvtr);
    });
}

// "<id> freq=... depth=... width=... permanent=..." or "<id> ... removed ...", of this client's
// filters only. A filter's first line adds its record and posts
// "com.velmorasoftware.doro.tnf_created"; later lines update that record in place (the keys a line
// leaves out keep their values), so the list holds one record per filter number whatever the radio
// repeats.
void Radio::parseTnfToken(Scanner& scan, bool selfStatus) {
    if (!selfStatus) {
        return;
    }
    scan.setCharactersToBeSkipped(std::nullopt);
    int id = 0;
    scan.scanInt(&id);
    scan.scanString(" ");
    // A removal says "removed" among its words, whatever else the radio adds to the line.
    std::istringstream words{std::string(scan.remainder())};
    const bool removed =
        std::any_of(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>(),
                    [](const std::string& word) { return word == "removed"; });
    DispatchQueue::main()->async([self = shared_from_this(), id, removed, pairs = scan]() mutable {
        std::shared_ptr<TNF> created;
        self->tnfs()->with([&](auto& list) {
            const auto known = std::find_if(list.begin(), list.end(),
                                            [&](const auto& entry) { return entry->tnf_id == id; });
            if (removed) {
                if (known != list.end()) {
                    list.erase(known);
                }
            } else if (known != list.end()) {
                tnfRecordTable().read(**known, pairs);
            } else {
                created = std::make_shared<TNF>();
                created->tnf_id = id;
                tnfRecordTable().read(*created, pairs);
                list.push_back(created);
            }
        });
        if (created) {
            NotificationCenter::defaultCenter().post("com.velmorasoftware.doro.tnf_created",
                                                     created);
        }
    });
}

}  // namespace vm
