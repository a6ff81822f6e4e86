#pragma once
// The CW keyer window: the text to send, six macros, speed and delay, the live-sending switch and
// the character that the local side tone is playing.
#include "app/windows/WidgetKit.h"
#include "platform/ui/Window.h"

#include <array>

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
};

}  // namespace vm
