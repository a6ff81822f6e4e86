// The slice's status lines: "key=value" pairs separated by blanks, each key mapped through one
// table to the property it feeds and the way its value is read.
#include "objects/Slice.h"

#include "platform/core/Log.h"
#include "util/StringAdditions.h"
#include "util/TextUnits.h"

#include <chrono>
#include <type_traits>
#include <utility>
#include <variant>

namespace vm {

namespace {

enum class ValueKind {
    TextToBlank,  // up to the next blank (a line feed belongs to the value)
    Text,         // up to the next blank or line feed
    Integer,
    Boolean,      // an integer, true when not 0
    Float,
    FloatText,    // text, then its leading decimal number
    List,         // text split at every ","
    Play,         // text, true for "enabled" or "1"
    InUse,        // an integer; 0 means the radio dropped the slice
    Dropped,      // an integer that nothing keeps
};

const CharacterSet& blankOrNewline() {
    static const CharacterSet set = CharacterSet::fromString(" \n");
    return set;
}

template <class T>
void storeValue(Observed<T>& property, std::variant<Text, Slice::Integer, Slice::Flag, Slice::Float,
                                                    Slice::List>& value, bool announce) {
    T stored = std::get<T>(std::move(value));
    if (announce) {
        property.set(std::move(stored));
    } else {
        property.store(std::move(stored));
    }
}

}  // namespace

struct Slice::StatusField {
    using Property = std::variant<std::monostate, Observed<Text> Slice::*, Observed<Integer> Slice::*,
                                  Observed<Flag> Slice::*, Observed<Float> Slice::*,
                                  Observed<List> Slice::*>;
    std::string_view key;
    ValueKind kind;
    Property property;
};

// One value read from a line, with the field it belongs to; the value's alternative is the type
// of the field's property.
struct Slice::PendingStore {
    using Value = std::variant<Text, Integer, Flag, Float, List>;
    const StatusField* field;
    Value value;

    void storeIn(Slice& slice, bool announce) {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    storeValue(slice.*member, value, announce);
                }
            },
            field->property);
    }
    void announceIn(const Slice& slice) const {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    (slice.*member).announce();
                }
            },
            field->property);
    }
};

// In the order of their token numbers, from 1.
const std::vector<Slice::StatusField>& Slice::statusFields() {
    using K = ValueKind;
    static const std::vector<StatusField> fields{
        {"RF_frequency", K::TextToBlank, &Slice::sliceFrequency},
        {"mode", K::TextToBlank, &Slice::sliceMode},
        {"rxant", K::TextToBlank, &Slice::sliceRxAnt},
        {"txant", K::TextToBlank, &Slice::sliceTxAnt},
        {"filter_lo", K::Integer, &Slice::sliceFilterLo},
        {"filter_hi", K::Integer, &Slice::sliceFilterHi},
        {"nr", K::Integer, &Slice::sliceNrEnabled},
        {"nr_level", K::Integer, &Slice::sliceNrLevel},
        {"nb", K::Integer, &Slice::sliceNbEnabled},
        {"nb_level", K::Integer, &Slice::sliceNbLevel},
        {"anf", K::Integer, &Slice::sliceAnfEnabled},
        {"anf_level", K::Integer, &Slice::sliceAnfLevel},
        {"apf", K::Integer, &Slice::sliceApfEnabled},
        {"apf_level", K::Integer, &Slice::sliceApfLevel},
        {"agc_mode", K::TextToBlank, &Slice::sliceAgcMode},
        {"agc_threshold", K::Integer, &Slice::sliceAgcThreshold},
        {"agc_off_level", K::Integer, &Slice::sliceAgcOffLevel},
        {"tx", K::Boolean, &Slice::sliceTxEnabled},
        {"active", K::Boolean, &Slice::sliceActive},
        {"owner", K::Text, &Slice::sliceOwner},
        {"ghost", K::Dropped, {}},
        {"wide", K::Boolean, &Slice::sliceWide},
        {"in_use", K::InUse, &Slice::sliceInUse},
        {"pan", K::TextToBlank, &Slice::panForSlice},
        {"loopa", K::Boolean, &Slice::loopAEnabled},
        {"loopb", K::Boolean, &Slice::loopBEnabled},
        {"qsk", K::Boolean, &Slice::qskEnabled},
        {"audio_pan", K::Integer, &Slice::slicePanControl},
        {"audio_gain", K::Integer, &Slice::sliceAudioLevel},
        {"audio_mute", K::Boolean, &Slice::sliceMuteEnabled},
        {"xit_on", K::Boolean, &Slice::sliceXitEnabled},
        {"rit_on", K::Boolean, &Slice::sliceRitEnabled},
        {"xit_freq", K::Integer, &Slice::sliceXitOffset},
        {"rit_freq", K::Integer, &Slice::sliceRitOffset},
        {"dax", K::Integer, &Slice::sliceDax},
        {"dax_clients", K::Integer, &Slice::sliceDaxClients},
        {"dax_tx", K::Boolean, &Slice::sliceDaxTxEnabled},
        {"lock", K::Boolean, &Slice::sliceLocked},
        {"step", K::Dropped, {}},
        {"step_list", K::List, &Slice::stepList},
        {"record", K::Boolean, &Slice::sliceRecordEnabled},
        {"play", K::Play, &Slice::slicePlaybackEnabled},
        {"record_time", K::Float, &Slice::sliceQRlength},
        {"diversity", K::Boolean, &Slice::sliceDiversityEnabled},
        {"diversity_parent", K::Integer, &Slice::sliceDiversityParent},
        {"diversity_child", K::Integer, &Slice::sliceDiversityChild},
        {"diversity_index", K::Integer, &Slice::sliceDiversityIndex},
        {"ant_list", K::List, &Slice::antList},
        {"squelch", K::Boolean, &Slice::squelchEnabled},
        {"squelch_level", K::Integer, &Slice::squelchLevel},
        {"mode_list", K::List, &Slice::modeList},
        {"fm_tone_mode", K::Text, &Slice::fmToneMode},
        {"fm_tone_value", K::FloatText, &Slice::fmToneFreq},
        {"fm_repeater_offset_freq", K::FloatText, &Slice::fmRepeaterOffset},
        {"tx_offset_freq", K::FloatText, &Slice::txOffsetFreq},
        {"repeater_offset_dir", K::Text, &Slice::repeaterOffsetDir},
        {"fm_tone_burst", K::Boolean, &Slice::fmToneBurstEnabled},
        {"fm_deviation", K::Integer, &Slice::fmDeviation},
        {"dfm_pre_de_emphasis", K::Boolean, &Slice::fmPreDeEmphasis},
        {"post_demod_low", K::Integer, &Slice::postDemodLo},
        {"post_demod_high", K::Integer, &Slice::postDemodHi},
        {"rtty_mark", K::Integer, &Slice::rttyMark},
        {"rtty_shift", K::Integer, &Slice::rttyShift},
        {"digl_offset", K::Integer, &Slice::diglOffset},
        {"digu_offset", K::Integer, &Slice::diguOffset},
        {"post_demod_bypass", K::Boolean, &Slice::postDemodBypassEnabled},
        {"rfgain", K::Integer, &Slice::rfGain},
        {"wnb", K::Integer, &Slice::sliceWnbEnabled},
        {"wnb_level", K::Integer, &Slice::sliceWnbLevel},
        {"detached", K::Integer, &Slice::detached},
        {"nr2", K::Integer, &Slice::sliceNr2Enabled},
        {"tx_ant_list", K::List, &Slice::txAntList},
        {"client_handle", K::Text, &Slice::clientHandle},
        {"index_letter", K::Text, &Slice::indexLetter},
        {"audio_level", K::Integer, &Slice::sliceAudioLevel},
        {"sample_rate", K::Text, &Slice::sliceSampleRate},
    };
    return fields;
}

const TokenTable& Slice::initStatusSliceTokens() {
    static const TokenTable table = [] {
        std::vector<std::pair<std::string_view, int>> entries;
        for (const StatusField& field : statusFields()) {
            entries.emplace_back(field.key, static_cast<int>(entries.size()) + 1);
        }
        return TokenTable(entries);
    }();
    return table;
}

Slice::PendingStore Slice::readValue(const StatusField& field, Scanner& scan) {
    std::string text;
    long long integer = 0;
    float real = 0;
    switch (field.kind) {
        case ValueKind::TextToBlank:
            scan.scanUpToString(" ", &text);
            return {&field, Text(std::move(text))};
        case ValueKind::Text:
            scan.scanUpToCharactersFromSet(blankOrNewline(), &text);
            return {&field, Text(std::move(text))};
        case ValueKind::Integer:
            scan.scanLongLong(&integer);
            return {&field, Integer(integer)};
        case ValueKind::Boolean:
        case ValueKind::InUse:
        case ValueKind::Dropped:
            scan.scanLongLong(&integer);
            return {&field, Flag(integer != 0)};
        case ValueKind::Float:
            scan.scanFloat(&real);
            return {&field, Float(real)};
        case ValueKind::FloatText:
            scan.scanUpToCharactersFromSet(blankOrNewline(), &text);
            return {&field, Float(static_cast<float>(strings::doubleValue(text)))};
        case ValueKind::List:
            scan.scanUpToCharactersFromSet(blankOrNewline(), &text);
            return {&field, List(strings::units::split(text, ','))};
        case ValueKind::Play:
            scan.scanUpToCharactersFromSet(blankOrNewline(), &text);
            return {&field, Flag(text == "enabled" || text == "1")};
    }
    return {&field, Text()};
}

void Slice::statusParserImmediate(Scanner& scan, bool immediate) {
    scan.setCharactersToBeSkipped(std::nullopt);
    const TokenTable& tokens = *statusSliceTokens();
    const auto& fields = statusFields();
    std::vector<PendingStore> stores;
    while (!scan.isAtEnd()) {
        std::string key;
        scan.scanUpToString("=", &key);
        scan.scanString("=");
        const int token = tokens.lookup(key);
        if (token < 1 || token > static_cast<int>(fields.size())) {
            std::string value;
            scan.scanUpToCharactersFromSet(blankOrNewline(), &value);
            log("Slice:statusParser:Unrecognized token:[{}] stringVal:[{}]", key, value);
        } else {
            const StatusField& field = fields[static_cast<std::size_t>(token - 1)];
            PendingStore store = readValue(field, scan);
            if (field.kind == ValueKind::InUse && !*std::get<Flag>(store.value)) {
                youAreBeingDeleted();
            }
            if (field.kind != ValueKind::Dropped) {
                if (immediate) {
                    store.storeIn(*this, false);
                }
                stores.push_back(std::move(store));
            }
        }
        scan.scanCharactersFromSet(blankOrNewline());
    }
    if (stores.empty()) {
        return;
    }
    if (immediate) {
        // The values are readable now; observers hear of them 1 ms later. The announcement carries
        // the value current by then, so a newer one that a later line or a setter stored in the
        // meantime is never replaced by this first line's.
        DispatchQueue::main()->after(std::chrono::milliseconds(1),
                                     [self = shared_from_this(), stores = std::move(stores)] {
                                         for (const PendingStore& store : stores) {
                                             store.announceIn(*self);
                                         }
                                     });
        return;
    }
    DispatchQueue::main()->async([self = shared_from_this(), stores = std::move(stores)]() mutable {
        for (PendingStore& store : stores) {
            store.storeIn(*self, true);
        }
    });
}

void Slice::statusParserSelfStatus(Scanner& /*scan*/, bool /*selfStatus*/) {
    log("Slice statusParser use updateWithNotifyImmediate");
}

}  // namespace vm
