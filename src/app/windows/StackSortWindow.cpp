#include "app/windows/StackSortWindow.h"

#include "app/windows/WidgetKit.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

StackSortWindow::StackSortWindow(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("stackSortWindow"));
    setWindowTitle(QStringLiteral("Band Stack"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    sourceTableView = new TableView(central);
    sourceTableView->setObjectName(QStringLiteral("sourceTableView"));
    std::vector<TableColumn> columns{TableColumn("megahertz", "MHz", 110).editable(),
                                     TableColumn("mode", "Mode", 80).editable()};
    sourceTableView->setColumns(std::move(columns));
    sourceTableView->setAllowsMultipleSelection(true);
    sourceTableView->setRowsMovable(true);
    layout->addWidget(sourceTableView, 1);
    auto* buttons = new QHBoxLayout;
    addButton = button(central, QStringLiteral("addButton"), QStringLiteral("Add"));
    deleteButton = button(central, QStringLiteral("deleteButton"), QStringLiteral("Delete"));
    cancelButton = button(central, QStringLiteral("cancelButton"), QStringLiteral("Cancel"));
    okButton = button(central, QStringLiteral("okButton"), QStringLiteral("OK"));
    buttons->addWidget(addButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(okButton);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(280, 360);
}

}  // namespace vm
