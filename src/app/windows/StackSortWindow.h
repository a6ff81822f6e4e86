#pragma once
// The band-stack editor's window: one band's entries in a table of frequency and mode, rows that
// can be edited, dragged into a new order, added and deleted, and OK and Cancel.
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"

#include <QPushButton>

namespace vm {

class StackSortWindow : public Window {
public:
    explicit StackSortWindow(QWidget* parent = nullptr);

    TableView* sourceTableView;
    QPushButton* addButton;
    QPushButton* deleteButton;
    QPushButton* okButton;
    QPushButton* cancelButton;
};

}  // namespace vm
