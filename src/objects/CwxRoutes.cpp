// The session's CW keyer: made when the session is, and fed the "cwx" lines.
#include "objects/Cwx.h"
#include "objects/ObjectRoutes.h"
#include "radio/Radio.h"

namespace vm {

void attachCwx(Radio& radio) {
    radio.cwx.store(Cwx::create(radio.weak_from_this()));
    radio.routeStatus(kStatusCwx, [](Radio& session, Scanner& scan, bool selfStatus) {
        if (const auto keyer = session.cwx()) {
            keyer->statusParserSelfStatus(scan, selfStatus);
        }
    });
}

}  // namespace vm
