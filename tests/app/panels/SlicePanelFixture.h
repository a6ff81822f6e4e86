#pragma once
// The four slice panels and their controllers, without the application, in a session with the
// simulated radio: the radio's slices of numbers 0 to 3 are bound to their panels as the radio
// reports them (as the application routes "SliceCreated"), and a host of the test's own records
// what the panels tell it and keys the session's radio. The controls are driven as the user
// drives them: a value is set and the control's action sent.
#include "app/control/SliceLookups.h"
#include "app/memory/FilterPresets.h"
#include "app/panels/SlicePanelController.h"
#include "app/windows/SlicePanel.h"
#include "attach/RadioObjects.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/NotificationCenter.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "radio/SimSessionFixture.h"

#include <fmt/format.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vm::test {

// What lies outside the panels: the session's slices, and a record of what the panels told.
class RecordingHost : public SlicePanelHost {
public:
    std::vector<std::shared_ptr<Slice>> slices;  // in ascending slice number
    std::shared_ptr<Radio> radio;
    bool debug = false;
    std::string panName;  // the band name of every frequency's panadapter
    std::vector<std::string> told;

    std::shared_ptr<Slice> sliceWithNumber(int number) const override {
        return lookups::sliceWithNumber(slices, number);
    }
    bool debugEnabled() const override { return debug; }
    std::string panNameForFrequency(double) const override { return panName; }
    void setTxState(bool transmit) override {
        if (radio) {
            radio->setTxState(transmit ? 1 : 0);
        }
    }
    void sliceTuned(const std::shared_ptr<Slice>& slice) override {
        told.push_back(fmt::format("tuned {}", slice->thisSliceNumber()));
    }
    void showModeMenus(int panel, const std::string& mode, bool active) override {
        told.push_back(fmt::format("mode menus {} {} {}", panel, mode, active));
    }
    void showActiveMode() override { told.push_back("active mode"); }
    void activeSliceChanged(const std::shared_ptr<Slice>& slice) override {
        told.push_back(fmt::format("active {}", slice->thisSliceNumber()));
    }
    void showHudRit(bool on) override { told.push_back(fmt::format("hud rit {}", on)); }
    void showHudXit(bool on) override { told.push_back(fmt::format("hud xit {}", on)); }
    void showMemoryRxAnt(int panel, const std::string& title) override {
        told.push_back(fmt::format("memory rx {} {}", panel, title));
    }
    void showMemoryTxAnt(int panel, const std::string& title) override {
        told.push_back(fmt::format("memory tx {} {}", panel, title));
    }
    void adjustVFOMenu() override { told.push_back("vfo menu"); }
    void adjustSplitControls() override { told.push_back("split"); }

    // What was told whose text starts with `prefix`.
    std::vector<std::string> toldAbout(const std::string& prefix) const {
        std::vector<std::string> kept;
        std::copy_if(told.begin(), told.end(), std::back_inserter(kept),
                     [&](const std::string& text) { return text.starts_with(prefix); });
        return kept;
    }
};

class SlicePanelFixture : public SimSessionFixture {
protected:
    void SetUp() override {
        // Every test starts as a new user: what an earlier test saved is gone.
        Defaults& defaults = Defaults::standard();
        for (const auto& [key, value] : defaults.dictionaryRepresentation()) {
            defaults.remove(key);
        }
        attach = attachRadioObjects;
        record->name = "SimRadio";
        record->supportsV3_API = !olderRadio;
        ASSERT_NO_FATAL_FAILURE(SimSessionFixture::SetUp());
        host->radio = radio;
        presetDictionary.setupPresetDictionary();
        for (std::size_t i = 0; i < 4; ++i) {
            panels[i] = std::make_unique<SlicePanel>(char('A' + i));
            controllers[i] =
                SlicePanelController::create(int(i), panels[i].get(), presetDictionary, host);
        }
        sliceCreated_ = NotificationCenter::defaultCenter().addObserver(
            "SliceCreated", [this](const Notification& notification) {
                const auto slice = std::static_pointer_cast<Slice>(notification.object);
                host->slices.push_back(slice);
                std::sort(host->slices.begin(), host->slices.end(),
                          [](const auto& a, const auto& b) {
                              return a->thisSliceNumber() < b->thisSliceNumber();
                          });
                if (slice->thisSliceNumber() < 4) {
                    controllers[std::size_t(slice->thisSliceNumber())]->bind(slice);
                }
                ++slicesCreated_;
            });
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(sliceCreated_);
        SimSessionFixture::TearDown();
    }

    // The radio reports a slice with these settings; the slice once its panel is bound to it.
    std::shared_ptr<Slice> addSlice(int number, const std::string& settings) {
        const int before = slicesCreated_;
        EXPECT_TRUE(sim->sendStatus(sim::sliceStatus(number, "in_use=1 " + settings)));
        EXPECT_TRUE(waitFor([&] { return slicesCreated_ > before; }));
        mainQueueBarrier();
        return host->sliceWithNumber(number);
    }
    // The radio reports a change of a slice; true once `done` holds.
    bool report(int number, const std::string& settings, const std::function<bool()>& done) {
        return sim->sendStatus(sim::sliceStatus(number, settings)) && waitFor(done);
    }

    SlicePanel& panel(int index) { return *panels[std::size_t(index)]; }
    SlicePanelController& controller(int index) { return *controllers[std::size_t(index)]; }

    // Every command the panels' changes have sent by now has reached the radio: the queued
    // setters have run, the slices and the radio have sent, and a marker sent after them has
    // arrived.
    void settle() {
        mainQueueBarrier();
        for (const auto& slice : host->slices) {
            queueBarrier(slice->sliceRunQueue());
        }
        queueBarrier(radio->radioRunQueue());
        commandBarrier(*radio, *sim);
    }
    // Starts a new record of what the radio receives.
    void mark() {
        settle();
        marked_ = sim->commandTexts().size();
    }
    // What the radio received since the mark, without the keep-alive and the markers.
    std::vector<std::string> receivedSinceMark() {
        settle();
        auto texts = sim->commandTexts();
        texts.erase(texts.begin(), texts.begin() + std::ptrdiff_t(marked_));
        std::erase(texts, "ping");
        std::erase_if(texts, isCommandBarrier);
        return texts;
    }

    // A radio without the newer interface (set before SetUp).
    bool olderRadio = false;
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    PresetDictionary presetDictionary;
    std::array<std::unique_ptr<SlicePanel>, 4> panels;
    std::array<std::shared_ptr<SlicePanelController>, 4> controllers;

private:
    NotificationCenter::Token sliceCreated_ = 0;
    int slicesCreated_ = 0;
    std::size_t marked_ = 0;
};

}  // namespace vm::test
