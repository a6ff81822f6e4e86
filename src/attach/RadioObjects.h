#pragma once
// The attach step a session of the program runs (Radio::create's last argument): every kind of
// object the program keeps for a radio routes its status lines, stream tables and closing steps
// before the session reads its first line. It lives above the objects, the display models and
// the audio streams, so that none of those needs another's library.
namespace vm {

class Radio;

// Slices, meters, the CW keyer and the equalizers (objects/ObjectRoutes.h), panadapters,
// waterfalls and spots (display/DisplayRoutes.h), and the audio streams
// (audio/AudioStreamRoutes.h).
void attachRadioObjects(Radio& radio);

}  // namespace vm
