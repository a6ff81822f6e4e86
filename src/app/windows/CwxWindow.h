#pragma once
// The CW keyer window: the text to send with its send and cancel buttons, six macros and their
// buttons, speed and delay, the live-sending switch and
// the character that the local side tone is playing.
#include "app/windows/WidgetKit.h"
#include "platform/ui/Window.h"

#include <array>

class QPushButton;

namespace vm {

class CwxWindow : public Window {
public:
    explicit CwxWindow(QWidget* parent = nullptr);

    TextField* cwxTextEditField;
    std::array<TextField*, 6> macroFields{};  // cwxTextMacro1EditField ... cwxTextMacro6EditField
    TextField* cwxTextSpeedEditField;
    TextField* cwxTextDelayEditField;
    CheckBox* cwxLiveCheckBox;
    TextField* cwxSideToneCharTexField;
    QPushButton* sendButton;
    QPushButton* cancelButton;
    std::array<QPushButton*, 6> macroButtons{};  // cwxMacro1Button ... cwxMacro6Button
};

}  // namespace vm
