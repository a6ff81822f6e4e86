#include "objects/RadioObjects.h"

#include "display/DisplayRoutes.h"
#include "objects/Cwx.h"
#include "radio/Radio.h"

namespace vm {

void attachRadioObjects(Radio& radio) {
    attachSlices(radio);
    attachMeters(radio);
    attachCwx(radio);
    attachEqualizers(radio);
    attachSpots(radio);
    attachDisplays(radio);
    attachAudioStreams(radio);
}

void attachCwx(Radio& radio) {
    radio.cwx.store(Cwx::create(radio.weak_from_this()));
    radio.routeStatus(kStatusCwx, [](Radio& session, Scanner& scan, bool selfStatus) {
        if (const auto keyer = session.cwx()) {
            keyer->statusParserSelfStatus(scan, selfStatus);
        }
    });
}

}  // namespace vm
