// The radio's two equalizers in the equalizer panels: each is bound once the radio reports it
// (its enable box, eight sliders and eight values follow it), and the panels' controls send its
// setters. A band equal to the stored one sends nothing (the equalizer's own rule).
#include "app/panels/RadioControlsController.h"

#include "app/windows/EqualizerPanel.h"
#include "objects/Equalizer.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "util/VMKVOManager.h"

#include <QLabel>

#include <fmt/format.h>

namespace vm {

namespace {

using C = RadioControlsController;

// The panel of an equalizer's type: 0 receive, 1 transmit; none for another type.
std::optional<std::size_t> panelOfType(const Equalizer& eq) {
    if (eq.eqType() == "rx") {
        return 0;
    }
    if (eq.eqType() == "tx") {
        return 1;
    }
    return std::nullopt;
}

using BandProperty = Observed<Integer> Equalizer::*;
constexpr std::array<BandProperty, Equalizer::kBandCount> kBands{
    &Equalizer::eqBand0Value, &Equalizer::eqBand1Value, &Equalizer::eqBand2Value,
    &Equalizer::eqBand3Value, &Equalizer::eqBand4Value, &Equalizer::eqBand5Value,
    &Equalizer::eqBand6Value, &Equalizer::eqBand7Value};
using BandSetter = void (Equalizer::*)(std::int64_t);
constexpr std::array<BandSetter, Equalizer::kBandCount> kBandSetters{
    &Equalizer::setEqBand0Value, &Equalizer::setEqBand1Value, &Equalizer::setEqBand2Value,
    &Equalizer::setEqBand3Value, &Equalizer::setEqBand4Value, &Equalizer::setEqBand5Value,
    &Equalizer::setEqBand6Value, &Equalizer::setEqBand7Value};

}  // namespace

const KeyTable<C, Equalizer>& RadioControlsController::equalizerKeyTable() {
    static const KeyTable<C, Equalizer> rows = [] {
        KeyTable<C, Equalizer> table;
        table.emplace_back(&Equalizer::eqEnabled, &C::equalizerEnabledChanged);
        for (int band = 0; band < int(kBands.size()); ++band) {
            table.emplace_back(kBands[std::size_t(band)],
                               [band](C& c, const std::shared_ptr<Equalizer>& eq, const Change*) {
                                   c.equalizerBandChanged(band, eq);
                               });
        }
        return table;
    }();
    return rows;
}

std::shared_ptr<Equalizer> RadioControlsController::equalizer(int index) const {
    const auto radio = this->radio();
    if (!radio || index < 0 || index > 1) {
        return nullptr;
    }
    return radio->equalizers()->with(
        [index](const auto& held) { return held[std::size_t(index)]; });
}

// Each equalizer is bound the first time the radio's list holds it, and its band labels set.
void RadioControlsController::radioEqualizersChanged(const std::shared_ptr<Radio>&, const Change*) {
    if (equalizer(0) && !rxEqualizersKVOManager_) {
        initEqualizerKVO(0);
        loadEqualizerLabels(0);
    }
    if (equalizer(1) && !txEqualizersKVOManager_) {
        initEqualizerKVO(1);
        loadEqualizerLabels(1);
    }
}

void RadioControlsController::initEqualizerKVO(int index) {
    const std::shared_ptr<Equalizer> eq = equalizer(index);
    if (!eq) {
        return;
    }
    const auto radio = this->radio();
    log("{}:{} {} {}", index == 0 ? "initRxEqualizerKVO" : "initTxEqualizerKVO", index,
        radio ? radio->radioName().value_or("") : "", eq->eqType());
    auto& manager = index == 0 ? rxEqualizersKVOManager_ : txEqualizersKVOManager_;
    manager = VMKVOManager::create();
    bindKeys(*manager, equalizerKeyTable(), eq, shared_from_this());
}

void RadioControlsController::loadEqualizerLabels(int index) {
    const std::shared_ptr<Equalizer> eq = equalizer(index);
    EqualizerPanel* panel = controls_.equalizer[std::size_t(index)];
    if (!eq || !panel) {
        return;
    }
    const auto& names = Equalizer::eqBandNames();
    for (std::size_t band = 0; band < names.size(); ++band) {
        panel->labels[band]->setText(QString::fromUtf8(names[band]));
    }
}

// The controls change on a later turn of the main queue, as the radio's own status does.
void RadioControlsController::equalizerEnabledChanged(const std::shared_ptr<Equalizer>& eq,
                                                      const Change*) {
    if (!eq) {
        log("equalizersEnabledChanged:null eq");
        return;
    }
    DispatchQueue::main()->async([weak = weak_from_this(), eq] {
        const auto self = weak.lock();
        const auto panel = panelOfType(*eq);
        if (!self || !panel) {
            return;
        }
        self->controls_.equalizer[*panel]->checkbox->setState(eq->eqEnabled().value_or(false));
    });
}

void RadioControlsController::equalizerBandChanged(int band, const std::shared_ptr<Equalizer>& eq) {
    if (!eq) {
        log("equalizersBand{}Changed:null eq", band);
        return;
    }
    DispatchQueue::main()->async([weak = weak_from_this(), eq, band] {
        const auto self = weak.lock();
        const auto panel = panelOfType(*eq);
        if (!self || !panel) {
            return;
        }
        const Integer value = ((*eq).*kBands[std::size_t(band)])();
        if (!value) {
            return;
        }
        EqualizerPanel* shown = self->controls_.equalizer[*panel];
        shown->sliders[std::size_t(band)]->setIntValue(int(*value));
        shown->values[std::size_t(band)]->setIntValue(int(*value));
    });
}

// Each control hands its value to the equalizer of its panel; before the radio has reported
// that equalizer it changes nothing.
void RadioControlsController::connectEqualizerActions() {
    const std::weak_ptr<RadioControlsController> weak = weak_from_this();
    for (int index = 0; index < 2; ++index) {
        EqualizerPanel* panel = controls_.equalizer[std::size_t(index)];
        if (!panel) {
            continue;
        }
        QObject::connect(panel->checkbox, &CheckBox::action, panel->checkbox,
                         [weak, index, box = panel->checkbox] {
                             const auto self = weak.lock();
                             if (const auto eq = self ? self->equalizer(index) : nullptr) {
                                 eq->setEqEnabled(box->state());
                             }
                         });
        for (std::size_t band = 0; band < kBandSetters.size(); ++band) {
            Slider* slider = panel->sliders[band];
            QObject::connect(slider, &Slider::action, slider, [weak, index, band, slider] {
                const auto self = weak.lock();
                if (const auto eq = self ? self->equalizer(index) : nullptr) {
                    ((*eq).*kBandSetters[band])(static_cast<std::int64_t>(slider->doubleValue()));
                }
            });
        }
    }
}

}  // namespace vm
