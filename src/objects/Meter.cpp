// A meter's definition and its readings.
#include "objects/Meter.h"

#include "platform/core/Log.h"
#include "platform/core/TextValues.h"
#include "radio/RadioLink.h"
#include "util/StringAdditions.h"

#include <string_view>
#include <utility>

namespace vm {

namespace {

enum MeterToken {
    kTokenSrc = 1,
    kTokenNum,
    kTokenNam,
    kTokenLow,
    kTokenHi,
    kTokenDesc,
    kTokenUnit,
    kTokenFps
};

std::pair<int, const char*> sourceFor(std::string_view src) {
    if (src == "COD-") return {kMeterSourceCodec, "Codec"};
    if (src == "TX-") return {kMeterSourceTransmit, "Transmit"};
    if (src == "SLC") return {kMeterSourceSlice, "Slice"};
    if (src == "RAD") return {kMeterSourceRadio, "Radio"};
    if (src == "AMP") return {kMeterSourceAmp, "Amp"};
    return {kMeterSourceNone, "null"};
}

int unitsFor(std::string_view unit) {
    static const TokenTable table{
        {"Volts", kMeterUnitsVolts},     {"Amps", kMeterUnitsAmps}, {"dB", kMeterUnitsDb},
        {"dBFS", kMeterUnitsDbfs},       {"dBm", kMeterUnitsDbm},   {"degF", kMeterUnitsDegF},
        {"degC", kMeterUnitsDegC},       {"SWR", kMeterUnitsSwr},   {"Watts", kMeterUnitsWatts},
        {"Percent", kMeterUnitsPercent},
    };
    return table.lookup(unit);
}

// The piece between the first separator and the next one (or the end).
std::string_view between(std::string_view text, std::size_t first, char separator) {
    const std::string_view rest = text.substr(first + 1);
    return rest.substr(0, rest.find(separator));
}

}  // namespace

const TokenTable& Meter::recordKeyTokens() {
    static const TokenTable table{
        {"src", kTokenSrc}, {"num", kTokenNum},   {"nam", kTokenNam},   {"low", kTokenLow},
        {"hi", kTokenHi},   {"desc", kTokenDesc}, {"unit", kTokenUnit}, {"fps", kTokenFps},
    };
    return table;
}

void Meter::setupMeter(const std::shared_ptr<RadioLink>& radio, Scanner& scan) {
    radio_ = radio;
    debugLogLevel.store(radio ? radio->logLevel() : 0);
    std::string text;
    scan.scanUpToString("\n", &text);
    // Every record is closed by "#": what follows the last one is not a record.
    std::size_t start = 0;
    for (std::size_t end = text.find('#'); end != std::string::npos; end = text.find('#', start)) {
        applyRecord(text.substr(start, end - start));
        start = end + 1;
    }
}

void Meter::applyRecord(const std::string& record) {
    const std::string_view piece(record);
    const std::size_t equals = piece.find('=');
    const std::size_t dot = piece.substr(0, equals).find('.');
    if (equals == std::string_view::npos || dot == std::string_view::npos) {
        log("Unrecognized KV pair in meter - {}", record);
        return;
    }
    const std::string text(between(piece, equals, '='));
    const std::string_view key = between(piece.substr(0, equals), dot, '.');
    meter.store(textIntValue(piece.substr(0, dot)));
    switch (meterTokens()->lookup(key)) {
        case kTokenSrc: {
            const auto [source, name] = sourceFor(text);
            if (source == kMeterSourceNone) {
                log("Unknown meter source in setupMeter (src={})", text);
            }
            meterSource.store(source);
            meterSourceString.store(name);
            break;
        }
        case kTokenNum:
            if (meterSource() == kMeterSourceSlice) {
                sliceNum.store(textIntValue(text));
            }
            break;
        case kTokenNam: shortName.store(text); break;
        case kTokenLow: low.store(static_cast<float>(strings::doubleValue(text))); break;
        case kTokenHi: high.store(static_cast<float>(strings::doubleValue(text))); break;
        case kTokenDesc: meterDescription.store(text); break;
        case kTokenUnit:
            unitsLabel.store(text);
            units.store(unitsFor(text));
            break;
        case kTokenFps: fps.store(textIntValue(text)); break;
        default: log("Unrecognized KV pair in meter - {}", record);
    }
}

void Meter::updateMeter(int raw) {
    const auto reading = static_cast<float>(raw);
    float scaled = reading;
    switch (units()) {
        case kMeterUnitsVolts:
        case kMeterUnitsAmps: {
            const auto radio = this->radio();
            const auto instance = radio ? radio->radioRecord() : nullptr;
            const double pversion = instance ? instance->pversion : 0.0;
            scaled = pversion >= 2.0 ? reading / 256.0f : reading / 1024.0f;
            break;
        }
        case kMeterUnitsDb:
        case kMeterUnitsDbfs:
        case kMeterUnitsDbm:
        case kMeterUnitsSwr: scaled = reading / 128.0f; break;
        case kMeterUnitsDegF:
        case kMeterUnitsDegC: scaled = reading / 64.0f; break;
        case kMeterUnitsNone:
        case kMeterUnitsWatts:
        case kMeterUnitsPercent: break;
        default: log("updateMeter:Unrecognized units:{} value:{}", units(), raw);
    }
    value.set(scaled);
}

}  // namespace vm
