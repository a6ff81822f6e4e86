#pragma once
// The heads-up display: a small window that floats over the panadapters with the S-meter (forward
// power while transmitting, SWR while tuning) and the RIT and XIT switches of the active slice.
#include "app/windows/WidgetKit.h"
#include "platform/ui/Window.h"

namespace vm {

class HudWindow : public Window {
public:
    explicit HudWindow(QWidget* parent = nullptr);

    LevelIndicator* s_meter_level_indicator;
    QLabel* s_meter_text;
    ImageButton* hudRitButton;
    ImageButton* hudXitButton;
};

}  // namespace vm
