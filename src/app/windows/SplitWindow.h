#pragma once
// The small window that asks for a split offset other than the fixed ones, in kHz: OK applies
// it, Cancel only closes the window.
#include "app/windows/WidgetKit.h"
#include "platform/ui/Window.h"

namespace vm {

class SplitWindow : public Window {
public:
    explicit SplitWindow(QWidget* parent = nullptr);

    TextField* splitkHzTextField;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

}  // namespace vm
