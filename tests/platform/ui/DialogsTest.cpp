#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/InputDialogs.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Screenshot.h"
#include "platform/ui/TextField.h"
#include "support/LogCapture.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>

namespace vm {
namespace {

// Installs a test responder for the length of a test and restores the previous one.
template <class Panel>
class Answer {
public:
    explicit Answer(typename Panel::TestResponder responder)
        : previous_(Panel::setTestResponder(std::move(responder))) {}
    ~Answer() { Panel::setTestResponder(previous_); }

private:
    typename Panel::TestResponder previous_;
};

TEST(Alert, EachButtonAnswersItsOwnCodeInOrder) {
    struct Case {
        int pressed;
        int expected;
    };
    const Case cases[] = {{0, 1000}, {1, 1001}, {2, 1002}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressed);
        std::vector<std::string> seen;
        bool wasOpen = false;
        Answer<Alert> answer([&](Alert& alert) {
            if (c.pressed == 1) {
                test::saveScreenshot(*QApplication::activeModalWidget(), "platform_ui_alert.png");
            }
            seen = alert.buttonTitles();
            wasOpen = QApplication::activeModalWidget() != nullptr;
            EXPECT_EQ(alert.messageText(), "Radio is in use");
            EXPECT_EQ(alert.alertStyle(), Alert::Style::warning);
            return c.pressed;
        });
        Alert alert;
        alert.setMessageText("Radio is in use");
        alert.setInformativeText("Do you want to disconnect station-1 running on shack ?");
        alert.addButtonWithTitle("OK");
        alert.addButtonWithTitle("Cancel");
        alert.addButtonWithTitle("Connect");
        EXPECT_EQ(alert.runModal(), c.expected);
        EXPECT_TRUE(wasOpen);
        EXPECT_EQ(seen, (std::vector<std::string>{"OK", "Cancel", "Connect"}));
    }
}

TEST(Alert, WithoutButtonsShowsOneOkAndAWrongAnswerPressesTheFirst) {
    Answer<Alert> answer([](Alert&) { return 1; });
    test::LogCapture log;
    Alert alert;
    alert.setAlertStyle(Alert::Style::critical);
    alert.setMessageText("Could not redirect debug log.");
    EXPECT_EQ(alert.runModal(), Alert::firstButtonReturn);
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"Alert:test answer 1 has no button, pressing the first"});
}

TEST(InputDialogs, TextDialogReturnsTheEditedTextOrNothingOnCancel) {
    {
        std::string shown;
        Answer<Alert> answer([&](Alert& alert) {
            auto* field = dynamic_cast<TextField*>(alert.accessoryView());
            EXPECT_TRUE(field);
            if (field) {
                shown = field->stringValue();
                EXPECT_EQ(field->size(), QSize(200, 24));
                field->setStringValue("Contest 2024");
            }
            EXPECT_EQ(alert.buttonTitles(), (std::vector<std::string>{"OK", "Cancel"}));
            test::saveScreenshot(*QApplication::activeModalWidget(),
                                 "platform_ui_input_dialog.png");
            return 0;
        });
        EXPECT_EQ(askForText("Enter Global Profile Name", "New Profile"), "Contest 2024");
        EXPECT_EQ(shown, "New Profile");
    }
    Answer<Alert> cancel([](Alert&) { return 1; });
    EXPECT_EQ(askForText("Enter Global Profile Name", "New Profile"), std::nullopt);
}

TEST(InputDialogs, ChoiceDialogReturnsTheChosenTitle) {
    Answer<Alert> answer([](Alert& alert) {
        auto* popup = dynamic_cast<PopUpButton*>(alert.accessoryView());
        EXPECT_TRUE(popup);
        if (popup) {
            EXPECT_EQ(popup->title(), "DX");
            popup->selectItemWithTitle("Contest");
        }
        return 0;
    });
    EXPECT_EQ(askForChoice("Delete which profile ?", {"DX", "Contest", "Rag chew"}), "Contest");
}

class SavePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("vm_save_panel_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        panel.setTitle("Tarvelo Sound Recording");
        panel.setMessage("Record Sound File");
        panel.setPrompt("OK");
        panel.setNameFieldLabel("Sound File:");
        panel.setNameFieldStringValue("vmsdr_sound_file.m4a");
        panel.setDirectory(folder);
        panel.setAllowedFileTypes({"m4a"});
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    SavePanel panel;
};

TEST_F(SavePanelTest, ChosenNameGetsAnAllowedExtension) {
    struct Case {
        std::string typed;
        std::string saved;
    };
    const Case cases[] = {
        {"vmsdr_sound_file.m4a", "vmsdr_sound_file.m4a"},
        {"evening net", "evening net.m4a"},
        {"take.M4A", "take.M4A"},
        {"take.wav", "take.wav.m4a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string proposed;
        Answer<SavePanel> answer([&](SavePanel& open) {
            proposed = open.nameFieldStringValue();
            EXPECT_EQ(open.title(), "Tarvelo Sound Recording");
            return std::optional<std::string>(c.typed);
        });
        const auto chosen = panel.runModal();
        EXPECT_EQ(proposed, "vmsdr_sound_file.m4a");
        ASSERT_TRUE(chosen);
        EXPECT_EQ(std::filesystem::weakly_canonical(*chosen),
                  std::filesystem::weakly_canonical(folder / c.saved));
    }
}

TEST_F(SavePanelTest, CancelChoosesNothing) {
    Answer<SavePanel> answer([](SavePanel&) { return std::nullopt; });
    EXPECT_EQ(panel.runModal(), std::nullopt);
}

TEST(Beep, HandlerReplacesTheSoundAndIsRestored) {
    int beeps = 0;
    BeepHandler previous = setBeepHandler([&] { ++beeps; });
    beep();
    beep();
    EXPECT_EQ(beeps, 2);
    setBeepHandler(previous);
    beep();  // the system's sound again
    EXPECT_EQ(beeps, 2);
}

}  // namespace
}  // namespace vm
