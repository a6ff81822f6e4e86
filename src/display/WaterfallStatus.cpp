// The waterfall's status lines: "key=value" pairs separated by blanks through the waterfall's
// status table. Most keys repeat the panadapter's and are read and dropped.
#include "display/Waterfall.h"

#include "platform/core/Log.h"
#include "radio/StatusValues.h"

namespace vm {

const StatusTable<Waterfall>& Waterfall::statusTable() {
    using namespace status;
    using W = Waterfall;
    static const StatusTable<Waterfall> table{
        "Waterfall:statusParser:Unrecognized key:[{key}] value:[{value}]",
        {
            {"x_pixels", word},
            {"center", word},
            {"bandwidth", word},
            {"line_duration", wordInteger, &W::lineDuration},
            {"rfgain", word},
            {"rxant", word},
            {"wide", word},
            {"loopa", word},
            {"loopb", word},
            {"band", word},
            {"daxiq", word},
            {"daxiq_rate", word},
            {"capacity", word},
            {"available", word},
            {"panadaptor", streamIdWord, &W::panadaptorId},
            {"color_gain", wordInteger, &W::colorGain},
            {"auto_black", wordTruthFlag, &W::autoBlack},
            {"black_level", wordInteger, &W::blackLevel},
            {"gradient_index", wordInteger, &W::gradientIndex},
            {"xvtr", word},
            {"client_handle", word},
            {"band_zoom", word},
            {"segment_zoom", word},
            {"daxiq_channel", word},
            {"panadapter", word},
        }};
    return table;
}

void Waterfall::statusParserImmediate(Scanner& scan, bool immediate) {
    scan.setCharactersToBeSkipped(std::nullopt);
    scan.scanString(" ");
    statusTable().read(*this, scan, immediate ? StatusPass::First : StatusPass::Later);
}

void Waterfall::statusParserSelfStatus(Scanner& /*scan*/, bool /*selfStatus*/) {
    log("Waterfall statusParser use updateWithNotifyImmediate");
}

}  // namespace vm
