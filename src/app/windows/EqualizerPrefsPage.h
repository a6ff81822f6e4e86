#pragma once
// The preferences' Equalizer tab: the radio's receive and transmit equalizers (taken by the
// equalizer observers and actions).
#include "app/windows/PreferencesPage.h"

namespace vm {

class EqualizerPanel;

class EqualizerPrefsPage : public PreferencesPage {
public:
    explicit EqualizerPrefsPage(QWidget* parent = nullptr);

    EqualizerPanel* rxEqualizer() const { return rxEqualizer_; }
    EqualizerPanel* txEqualizer() const { return txEqualizer_; }

private:
    EqualizerPanel* rxEqualizer_;
    EqualizerPanel* txEqualizer_;
};

}  // namespace vm
