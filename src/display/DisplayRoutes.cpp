// The session's side of the panadapters and waterfalls: "display <kind> <id> key=value ..." lines
// and the reply to "display panafall create". Ids are compared as numbers: every id is kept in its
// one written form "0x%08X" (the collections' keys, waterfallId, panadaptorId), and the stream
// router files the objects under the id's number.
#include "display/DisplayRoutes.h"

#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"

#include <utility>
#include <vector>

namespace vm {

namespace {

std::uint32_t routeKey(const std::string& id) { return Radio::intFromHexString(id); }

template <class T>
std::shared_ptr<T> findIn(ObjectsById<T>& table, const std::string& id) {
    return table.with([&](const auto& objects) {
        const auto found = objects.find(id);
        return found == objects.end() ? nullptr : found->second;
    });
}

void postOnMain(const char* name, std::shared_ptr<Panafall> pan) {
    DispatchQueue::main()->async(
        [name, pan = std::move(pan)] { NotificationCenter::defaultCenter().post(name, pan); });
}

void removeWaterfall(Radio& radio, const std::string& kind, const std::shared_ptr<Waterfall>& wf) {
    if (radio.debugLogLevel() >= 2) {
        log("parseDisplayToken:removing {} stream:{} pan:{}", kind, wf->streamId(),
            wf->panadaptorId().value_or(""));
    }
    radio.waterfalls()->with([&](auto& objects) {
        wf->willRemoveStreamProcessor();
        objects.erase(wf->streamId());
    });
    radio.streamTables().waterfalls.erase(routeKey(wf->streamId()));
}

// A removed panadapter takes its waterfall with it: the radio removes the two together.
void removeById(Radio& radio, const std::string& kind, const std::string& id) {
    if (const auto pan = findIn(*radio.panafalls(), id)) {
        if (radio.debugLogLevel() >= 2) {
            log("parseDisplayToken:removing {} stream:{} client:{}", kind, pan->streamId(),
                pan->clientHandle().value_or(""));
        }
        postOnMain("PanafallDeleted", pan);
        radio.panafalls()->with([&](auto& objects) {
            pan->willRemoveStreamProcessor();
            objects.erase(id);
        });
        radio.streamTables().panafalls.erase(routeKey(id));
        if (const auto wf = pan->waterfall(); wf && findIn(*radio.waterfalls(), wf->streamId())) {
            removeWaterfall(radio, "waterfall", wf);
        }
        return;
    }
    if (const auto wf = findIn(*radio.waterfalls(), id)) {
        removeWaterfall(radio, kind, wf);
    }
}

void pair(const std::shared_ptr<Panafall>& pan, const std::shared_ptr<Waterfall>& wf) {
    pan->updateWaterfallRef(wf);
    wf->updatePanafallRef(pan);
}

// A new waterfall finds the panadapters that name it.
void pairNewWaterfall(Radio& radio, const std::string& kind, const std::shared_ptr<Waterfall>& wf) {
    std::vector<std::shared_ptr<Panafall>> named;
    radio.panafalls()->with([&](const auto& objects) {
        for (const auto& [panId, pan] : objects) {
            const std::string waterfallId = pan->waterfallId().value_or("");
            if (waterfallId.empty()) {
                log("parseDisplayToken: us:[0x{}] streamIdWf:[{}] panId:[{}] pan.waterfallId:[{}] "
                    "clientHandle:[{}]",
                    radio.apiHandle().value_or(""), wf->streamId(), panId, waterfallId,
                    pan->clientHandle().value_or(""));
            } else if (waterfallId == wf->streamId()) {
                named.push_back(pan);
            }
        }
    });
    for (const auto& pan : named) {
        pair(pan, wf);
        if (ourPan(radio, *pan)) {
            postOnMain("PanafallCreated", pan);
        } else {
            log("parseDisplayToken: {} notification not sent,  {}, not one of ours", kind,
                wf->streamId());
        }
    }
}

// Runs on the session's queue for every "display" line.
void parseDisplayToken(Radio& radio, Scanner& scan, bool /*selfStatus*/) {
    scan.setCharactersToBeSkipped(std::nullopt);
    std::string kind;
    std::string written;
    scan.scanUpToString(" ", &kind);
    scan.scanString(" ");
    scan.scanUpToString(" ", &written);
    if (kind != "pan" && kind != "waterfall") {
        return;
    }
    if (written.empty()) {
        log("parseDisplayToken:no stream id:[{}]", scan.string());
        return;
    }
    const std::string id = Radio::reformatStreamId(written);
    if (scan.string().find("removed") != std::string::npos) {
        removeById(radio, kind, id);
        return;
    }

    if (kind == "pan") {
        if (const auto pan = findIn(*radio.panafalls(), id)) {
            pan->statusParserImmediate(scan, false);
            return;
        }
        const auto pan = Panafall::create(radio.shared_from_this(), id);
        // Filled by its first line before anyone else can find it.
        pan->statusParserImmediate(scan, true);
        radio.panafalls()->with([&](auto& objects) { objects[id] = pan; });
        radio.streamTables().panafalls.insert(routeKey(id), pan);
        if (radio.debugLogLevel() >= 2) {
            log("parseDisplayToken:new {} stream:{} client:{}", kind, id,
                pan->clientHandle().value_or(""));
        }
        return;
    }

    if (const auto wf = findIn(*radio.waterfalls(), id)) {
        wf->statusParserImmediate(scan, false);
        return;
    }
    const auto wf = Waterfall::create(radio.shared_from_this(), id);
    wf->statusParserImmediate(scan, true);
    radio.waterfalls()->with([&](auto& objects) { objects[id] = wf; });
    radio.streamTables().waterfalls.insert(routeKey(id), wf);
    if (radio.debugLogLevel() >= 2) {
        log("parseDisplayToken:new {} stream:{}", kind, id);
    }
    pairNewWaterfall(radio, kind, wf);
}

// The reply to "display panafall create": a pair of new objects, replacing any under the same
// ids, announced as this client's.
void makePanafallPair(Radio& radio, const std::string& panafallId, const std::string& waterfallId) {
    const auto pan = Panafall::create(radio.shared_from_this(), panafallId);
    const auto wf = Waterfall::create(radio.shared_from_this(), waterfallId);
    pair(pan, wf);
    const auto replaced = radio.panafalls()->with([&](auto& objects) {
        log("panafallCreateCallback:adding pan {}", panafallId);
        return std::exchange(objects[panafallId], pan);
    });
    const auto replacedWaterfall = radio.waterfalls()->with([&](auto& objects) {
        log("panafallCreateCallback:adding wat {}", waterfallId);
        return std::exchange(objects[waterfallId], wf);
    });
    // Views of objects that were replaced let go of them.
    if (replaced) {
        replaced->willRemoveStreamProcessor();
    }
    if (replacedWaterfall) {
        replacedWaterfall->willRemoveStreamProcessor();
    }
    radio.streamTables().panafalls.insert(routeKey(panafallId), pan);
    radio.streamTables().waterfalls.insert(routeKey(waterfallId), wf);
    postOnMain("PanafallCreated", pan);
}

}  // namespace

void attachDisplays(Radio& radio) {
    radio.routeStatus(kStatusDisplay, parseDisplayToken);
    radio.makePanafallPairsWith(makePanafallPair);
}

bool ourPan(const Radio& radio, const Panafall& pan) {
    const auto instance = radio.radioInstance();
    if (!instance || !instance->supportsMultiDoro) {
        return true;
    }
    const Text own = radio.clientHandle();
    if (!own || own->empty()) {
        return false;
    }
    const Text theirs = pan.clientHandle();
    if (!theirs || theirs->empty()) {
        log("ourPan:clientHandle is nil");
        return false;
    }
    return *own == *theirs;
}

}  // namespace vm
