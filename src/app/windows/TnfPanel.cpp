#include "app/windows/TnfPanel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

TnfPanel::TnfPanel(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("tnfPanel"));
    setWindowTitle(QStringLiteral("TNF"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    tnfTable = new TableView(central);
    tnfTable->setObjectName(QStringLiteral("tnfTable"));
    std::vector<TableColumn> columns{
        TableColumn("tnf_id", "ID", 50).sortedBy("tnf_id"),
        TableColumn("frequency", "Frequency MHz", 120).editable().sortedBy("frequency"),
        TableColumn("width", "Width Hz", 90).editable().sortedBy("width"),
        TableColumn("depth", "Depth", 70).editable().sortedBy("depth"),
        TableColumn("permanent", "Permanent", 80).checkBox().sortedBy("permanent")};
    tnfTable->setColumns(std::move(columns));
    layout->addWidget(tnfTable, 1);
    auto* buttons = new QHBoxLayout;
    radioTnfEnabledCheckBox =
        checkBox(central, QStringLiteral("radioTnfEnabledCheckBox"), QStringLiteral("TNF on"));
    tnfAddButton = imageButton(central, QStringLiteral("tnfAddButton"));
    tnfDeleteButton = imageButton(central, QStringLiteral("tnfDeleteButton"));
    tnfAddButton->setToolTip(QStringLiteral("Add a TNF"));
    tnfDeleteButton->setToolTip(QStringLiteral("Delete the selected TNF"));
    buttons->addWidget(radioTnfEnabledCheckBox);
    buttons->addStretch(1);
    for (ImageButton* button : {tnfAddButton, tnfDeleteButton}) {
        button->setFixedSize(30, 30);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(480, 300);
}

}  // namespace vm
