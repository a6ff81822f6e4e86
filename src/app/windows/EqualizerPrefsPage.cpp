#include "app/windows/EqualizerPrefsPage.h"

#include "app/windows/EqualizerPanel.h"

#include <QHBoxLayout>

namespace vm {

EqualizerPrefsPage::EqualizerPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* layout = new QHBoxLayout(this);
    rxEqualizer_ =
        new EqualizerPanel(QStringLiteral("rx"), QStringLiteral("Receive equalizer"), this);
    txEqualizer_ =
        new EqualizerPanel(QStringLiteral("tx"), QStringLiteral("Transmit equalizer"), this);
    layout->addWidget(rxEqualizer_);
    layout->addSpacing(24);
    layout->addWidget(txEqualizer_);
    layout->addStretch(1);
}

}  // namespace vm
