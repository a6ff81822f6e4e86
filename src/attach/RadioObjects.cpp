#include "attach/RadioObjects.h"

#include "audio/AudioStreamRoutes.h"
#include "display/DisplayRoutes.h"
#include "objects/ObjectRoutes.h"

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

}  // namespace vm
