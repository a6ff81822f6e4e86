// The equalizer's status lines: "<type> mode=<0|1> 63Hz=<g> ... 8000Hz=<g>". A type word with
// "sc" ("rxsc", "txsc") carries the gains themselves; a line without "sc" anywhere carries each
// gain plus 10.
#include "objects/Equalizer.h"

#include "radio/StatusValues.h"

namespace vm {

namespace {

Integer bandGain(StatusLine& line) {
    const int offset = line.scan.string().find("sc") == std::string::npos ? 10 : 0;
    return status::integer(line).value_or(0) - offset;
}

}  // namespace

const StatusTable<Equalizer>& Equalizer::statusTable() {
    using E = Equalizer;
    constexpr auto changed = StatusAnnounce::WhenChanged;
    static const StatusTable<Equalizer> table{
        "Equalicer:statusParser:Unrecognized token:[{key}] stringVal:[{value}]",
        {
            {"mode", status::boolean, &E::eqEnabled, changed},
            {"63Hz", bandGain, &E::eqBand0Value, changed},
            {"125Hz", bandGain, &E::eqBand1Value, changed},
            {"250Hz", bandGain, &E::eqBand2Value, changed},
            {"500Hz", bandGain, &E::eqBand3Value, changed},
            {"1000Hz", bandGain, &E::eqBand4Value, changed},
            {"2000Hz", bandGain, &E::eqBand5Value, changed},
            {"4000Hz", bandGain, &E::eqBand6Value, changed},
            {"8000Hz", bandGain, &E::eqBand7Value, changed},
        }};
    return table;
}

void Equalizer::statusParserImmediate(Scanner& scan, bool immediate) {
    scan.setCharactersToBeSkipped(std::nullopt);
    scan.scanUpToString(" ");
    scan.scanString(" ");
    statusTable().read(*this, scan, immediate ? StatusPass::First : StatusPass::Later);
}

void Equalizer::statusParserSelfStatus(Scanner& scan, bool /*selfStatus*/) {
    statusParserImmediate(scan, false);
}

}  // namespace vm
