#pragma once
// The radio's own controls and their controller, without the application, in a session with the
// simulated radio: the windows that hold the controls (the preferences, the main window's
// controls bar and transmit menu, the notch filter window) are built alone, the controller is
// bound to the session's radio as the application binds it at connect, and a host of the test's
// own records what the controller asks of it. The controls are driven as the user drives them:
// a value is set and the control's action sent.
#include "app/panels/RadioControlsController.h"
#include "app/windows/EqualizerPrefsPage.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/TnfPanel.h"
#include "attach/RadioObjects.h"
#include "objects/Equalizer.h"
#include "platform/core/Defaults.h"
#include "support/QueueBarrier.h"

#include "radio/SimSessionFixture.h"

#include <fmt/format.h>

#include <gtest/gtest.h>

#include <QMenuBar>

#include <memory>
#include <string>
#include <vector>

namespace vm::test {

class RecordingRadioHost : public RadioControlsHost {
public:
    bool debug = false;
    bool keptByRadio = true;
    std::optional<double> remoteVolume;
    std::vector<std::string> told;

    bool debugEnabled() const override { return debug; }
    std::optional<QPalette> windowAppearance() const override { return std::nullopt; }
    void setRemoteAudioVolume(double volume) override { remoteVolume = volume; }
    bool profilesKeptByRadio() const override { return keptByRadio; }
    void beginProfileSave(ProfileKind kind) override {
        told.push_back(fmt::format("saving {}", int(kind)));
    }
    // The radio's answer is taken as given: the tests look at the order of the commands.
    void waitForProfileSave(ProfileKind, std::function<void(bool)> done) override {
        DispatchQueue::main()->async([done = std::move(done)] { done(true); });
    }
    void loadProfileMenus(ProfileKind kind) override {
        told.push_back(fmt::format("menus {}", int(kind)));
    }
    void setProfileSubmenuSelections(ProfileKind kind) override {
        told.push_back(fmt::format("marks {}", int(kind)));
    }
    void openCloseSideTone(bool on) override {
        told.push_back(fmt::format("side tone {}", int(on)));
    }
    void sideToneParametersChanged() override { told.push_back("side tone parameters"); }
    void saveActiveInBandStack() override { told.push_back("band stack"); }
};

class RadioControlsFixture : public SimSessionFixture {
protected:
    void SetUp() override {
        Defaults& defaults = Defaults::standard();
        for (const auto& [key, value] : defaults.dictionaryRepresentation()) {
            defaults.remove(key);
        }
        attach = attachRadioObjects;
        record->name = "SimRadio";
        record->supportsV3_API = true;
        ASSERT_NO_FATAL_FAILURE(SimSessionFixture::SetUp());
        prefs = std::make_unique<PreferencesWindow>();
        bar = std::make_unique<MainControlsBar>();
        menuBar = std::make_unique<QMenuBar>();
        menus = std::make_unique<MainMenus>(menuBar.get());
        tnf = std::make_unique<TnfPanel>();
        controller = RadioControlsController::create(
            RadioControls::find({prefs.get(), bar.get(), tnf.get()}, *menus,
                                prefs->equalizerPage().rxEqualizer(),
                                prefs->equalizerPage().txEqualizer()),
            host);
        controller->bind(radio);
        mainQueueBarrier();
    }
    void TearDown() override {
        controller->unbind();
        SimSessionFixture::TearDown();
    }

    const RadioControls& c() const { return controller->controls(); }

    // The radio reports a status line; true once `done` holds.
    bool report(const std::string& status, const std::function<bool()>& done) {
        return sim->sendStatus(status) && waitFor(done);
    }

    // Every command the controls' changes have sent by now has reached the radio.
    void settle() {
        mainQueueBarrier();
        for (int index = 0; index < 2; ++index) {
            const auto eq = radio->equalizers()->with(
                [index](const auto& held) { return held[std::size_t(index)]; });
            if (eq) {
                queueBarrier(eq->eqRunQueue());
            }
        }
        queueBarrier(radio->radioRunQueue());
        commandBarrier(*radio, *sim);
    }
    void mark() {
        settle();
        marked_ = sim->commandTexts().size();
    }
    std::vector<std::string> receivedSinceMark() {
        settle();
        auto texts = sim->commandTexts();
        texts.erase(texts.begin(), texts.begin() + std::ptrdiff_t(marked_));
        std::erase(texts, "ping");
        std::erase_if(texts, isCommandBarrier);
        return texts;
    }

    std::shared_ptr<RecordingRadioHost> host = std::make_shared<RecordingRadioHost>();
    std::unique_ptr<PreferencesWindow> prefs;
    std::unique_ptr<MainControlsBar> bar;
    std::unique_ptr<QMenuBar> menuBar;
    std::unique_ptr<MainMenus> menus;
    std::unique_ptr<TnfPanel> tnf;
    std::shared_ptr<RadioControlsController> controller;

private:
    std::size_t marked_ = 0;
};

}  // namespace vm::test
