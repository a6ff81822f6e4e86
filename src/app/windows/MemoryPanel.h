#pragma once
// The user memories window: the table of memories, add, delete and go, and the antenna pop-ups of
// slices A to D that a memory recall uses.
#include "app/windows/WidgetKit.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"

#include <array>

namespace vm {

class MemoryPanel : public Window {
public:
    explicit MemoryPanel(QWidget* parent = nullptr);

    TableView* memoryTable;
    ImageButton* memoryAddButton;
    ImageButton* memoryDeleteButton;
    ImageButton* memoryGoButton;
    std::array<PopUpButton*, 4> rxAntPopups{};  // mem_rxAntApopup ... mem_rxAntDpopup
    std::array<PopUpButton*, 4> txAntPopups{};  // mem_txAntApopup ... mem_txAntDpopup
};

}  // namespace vm
