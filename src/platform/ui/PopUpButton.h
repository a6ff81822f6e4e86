#pragma once
// A pop-up button: a list of titled items, one of them selected (-1: none). Selecting from code
// sends no action; a choice by the user sends `action`. `willPopUp` comes just before the list
// opens, while its items can still be changed.
#include <QComboBox>

#include <string>

namespace vm {

class PopUpButton : public QComboBox {
    Q_OBJECT

public:
    explicit PopUpButton(QWidget* parent = nullptr);

    int numberOfItems() const { return count(); }
    int indexOfSelectedItem() const { return currentIndex(); }
    // The selected item's title; empty when nothing is selected.
    std::string title() const;
    // The index of the first item with exactly this title, or -1.
    int indexOfItemWithTitle(const std::string& title) const;
    // -1, or an index out of range, clears the selection.
    void selectItemAtIndex(int index);
    void selectItemWithTitle(const std::string& title) {
        selectItemAtIndex(indexOfItemWithTitle(title));
    }
    // Selects only an index in range; any other index is logged and the selection kept.
    void safeSelectItemAtIndex(long index);

    void sendAction() { emit action(); }
    void showPopup() override;

signals:
    void action();
    void willPopUp();
};

}  // namespace vm
