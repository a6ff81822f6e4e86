#pragma once
// The tracking notch filter window: the radio's TNFs in a table, the radio's TNF switch, add and
// delete.
#include "app/windows/WidgetKit.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"

namespace vm {

class TnfPanel : public Window {
public:
    explicit TnfPanel(QWidget* parent = nullptr);

    TableView* tnfTable;
    CheckBox* radioTnfEnabledCheckBox;
    ImageButton* tnfAddButton;
    ImageButton* tnfDeleteButton;
};

}  // namespace vm
