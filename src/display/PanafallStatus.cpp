// The panadapter's status lines: "key=value" pairs separated by blanks, each key mapped through
// the pan's status table to the property it feeds. Unknown keys are skipped without a message.
#include "display/Panafall.h"

#include "display/Waterfall.h"
#include "platform/core/Log.h"
#include "radio/StatusValues.h"

#include <cmath>

namespace vm {

const StatusTable<Panafall>& Panafall::statusTable() {
    using namespace status;
    using P = Panafall;
    static const StatusTable<Panafall> table{
        "",
        {
            // The radio's idea of the display's size; the size this client asked for stays.
            {"x_pixels", word},
            {"y_pixels", word},
            {"center", wordDecimal, &P::center, &P::finite},
            {"bandwidth", wordDecimal, &P::bandwidth, &P::positive},
            {"min_dbm", wordDecimal, &P::minDbm, &P::finite},
            {"max_dbm", wordDecimal, &P::maxDbm, &P::finite},
            {"fps", wordInteger, &P::fps},
            {"average", wordInteger, &P::average},
            {"weighted_average", wordFlag, &P::weightedAverage},
            {"rfgain", wordInteger, &P::rfGain},
            {"rxant", word, &P::rxAnt},
            {"wide", wordFlag, &P::wide},
            {"loopa", wordFlag, &P::loopA},
            {"loopb", wordFlag, &P::loopB},
            {"band", word, &P::band},
            {"daxiq", wordBoolean, &P::daxIQ},
            {"daxiq_rate", wordLong, &P::daxIQRate},
            {"capacity", wordInteger, &P::capacity},
            {"available", wordInteger, &P::available},
            {"waterfall", streamIdWord, &P::waterfallId, &P::keepNow<&P::waterfallId>},
            {"min_bw", wordDecimal, &P::minBW, &P::positive},
            {"max_bw", wordDecimal, &P::maxBW, &P::positive},
            {"xvtr", word, &P::xvtrLabel},
            {"pre", word, &P::preLabel},
            {"ant_list", list, &P::antList},
            {"nb", wordFlag, &P::nb},
            {"nb_level", wordInteger, &P::nbLevel},
            {"nb_updating", wordTruthFlag, &P::nbUpdating},
            {"wnb", wordFlag, &P::wnb},
            {"wnb_level", wordInteger, &P::wnbLevel},
            {"wnb_updating", wordTruthFlag, &P::wnbUpdating},
            {"band_zoom", wordLong, &P::bandZoom},
            {"segment_zoom", wordLong, &P::segmentZoom},
            {"client_handle", word, &P::clientHandle, &P::keepNow<&P::clientHandle>},
            {"daxiq_channel", wordLong, &P::daxiqChannel},
            {"line_duration", &P::forwardLineDuration},
            {"panadapter", word},
            {"color_gain", &P::forwardColorGain},
            {"auto_black", &P::forwardAutoBlack},
            {"black_level", &P::forwardBlackLevel},
            {"gradient_index", &P::forwardGradientIndex},
        }};
    return table;
}

// The session pairs and announces panadapters by these two on its own queue, as soon as the next
// line arrives: they are stored there at once, and announced with the rest of the line.
template <Observed<Text> Panafall::*property>
bool Panafall::keepNow(Panafall& pan, const StatusValue& value) {
    (pan.*property).store(std::get<Text>(value));
    return true;
}

// A centre or level the radio sends as infinity or not-a-number ("center=1e400") would blank the
// axis, the slices and the waterfall; a span of zero or less would divide by zero. Such a value
// is dropped and the last good one stays.
bool Panafall::finite(Panafall& /*pan*/, const StatusValue& value) {
    const Float& real = std::get<Float>(value);
    return real && std::isfinite(*real);
}

bool Panafall::positive(Panafall& pan, const StatusValue& value) {
    return finite(pan, value) && *std::get<Float>(value) > 0;
}

void Panafall::statusParserImmediate(Scanner& scan, bool immediate) {
    scan.setCharactersToBeSkipped(std::nullopt);
    scan.scanString(" ");
    statusTable().read(*this, scan, immediate ? StatusPass::First : StatusPass::Later);
}

void Panafall::statusParserSelfStatus(Scanner& /*scan*/, bool /*selfStatus*/) {
    log("Panafall statusParser use updateWithNotifyImmediate");
}

// The value word goes to the waterfall as a line of its own status; without a linked waterfall it
// is stepped over.
void Panafall::forwardToWaterfall(const char* key, Scanner& scan) {
    std::string value;
    scan.scanUpToCharactersFromSet(CharacterSet::fromString(" \n"), &value);
    if (const auto linked = waterfall()) {
        Scanner pair(std::string(key) + "=" + value);
        linked->statusParserImmediate(pair, false);
    }
}

void Panafall::forwardLineDuration(Scanner& scan) { forwardToWaterfall("line_duration", scan); }
void Panafall::forwardColorGain(Scanner& scan) { forwardToWaterfall("color_gain", scan); }
void Panafall::forwardAutoBlack(Scanner& scan) { forwardToWaterfall("auto_black", scan); }
void Panafall::forwardBlackLevel(Scanner& scan) { forwardToWaterfall("black_level", scan); }
void Panafall::forwardGradientIndex(Scanner& scan) { forwardToWaterfall("gradient_index", scan); }

}  // namespace vm
