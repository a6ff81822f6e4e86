#include "app/windows/MemoryPanel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

MemoryPanel::MemoryPanel(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("memoryPanel"));
    setWindowTitle(QStringLiteral("Memories"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    memoryTable = new TableView(central);
    memoryTable->setObjectName(QStringLiteral("memoryTable"));
    std::vector<TableColumn> columns;
    for (const char* id :
         {"owner", "group", "freq", "name", "mode", "step", "offset_direction", "repeater_offset",
          "tone_mode", "tone_value", "rf_power", "rx_filter_low", "rx_filter_high", "squelch",
          "squelch_level", "rtty_mark", "rtty_shift", "digl_offset", "digu_offset"}) {
        QString title = QString::fromLatin1(id).replace('_', ' ');
        title[0] = title[0].toUpper();
        columns.emplace_back(id, title.toStdString(), std::string_view(id) == "name" ? 140 : 80);
        columns.back().editable().sortedBy(id);
        if (std::string_view(id) == "squelch") {
            columns.back().checkBox();
        }
    }
    memoryTable->setColumns(std::move(columns));
    layout->addWidget(memoryTable, 1);

    auto* buttons = new QHBoxLayout;
    memoryAddButton = imageButton(central, QStringLiteral("memoryAddButton"));
    memoryDeleteButton = imageButton(central, QStringLiteral("memoryDeleteButton"));
    memoryGoButton = imageButton(central, QStringLiteral("memoryGoButton"));
    memoryAddButton->setToolTip(QStringLiteral("Add a memory of the active slice"));
    memoryDeleteButton->setToolTip(QStringLiteral("Delete the selected memory"));
    memoryGoButton->setToolTip(QStringLiteral("Tune the active slice to the selected memory"));
    for (ImageButton* button : {memoryAddButton, memoryDeleteButton, memoryGoButton}) {
        button->setFixedSize(30, 30);
        buttons->addWidget(button);
    }
    buttons->addSpacing(16);
    const char letters[] = {'A', 'B', 'C', 'D'};
    for (int i = 0; i < 4; ++i) {
        rxAntPopups[i] = popUp(central, outletName("mem_rxAnt%cpopup", letters[i]));
        txAntPopups[i] = popUp(central, outletName("mem_txAnt%cpopup", letters[i]));
        buttons->addWidget(new QLabel(QStringLiteral("%1 RX").arg(QChar(letters[i]))));
        buttons->addWidget(rxAntPopups[i]);
        buttons->addWidget(new QLabel(QStringLiteral("TX")));
        buttons->addWidget(txAntPopups[i]);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(1000, 420);
}

}  // namespace vm
