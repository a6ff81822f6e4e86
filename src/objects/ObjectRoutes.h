#pragma once
// What the radio's objects add to a session (Radio::create's attach step): each object type routes
// its status lines, and its stream table or closing step if it has one, before the session reads
// its first line. A new object type adds its own attach function here and a call of it to
// attachRadioObjects (attach/RadioObjects.cpp).
namespace vm {

class Radio;
class Slice;

// "slice" lines make, feed and drop the session's slices (SliceRoutes.cpp); closing the session
// tells each slice it is being deleted.
void attachSlices(Radio& radio);
// "meter" lines file the session's meters and give slice meters to their slices; meter values
// from the stream router reach them (MeterRoutes.cpp).
void attachMeters(Radio& radio);
// The session's CW keyer, and its "cwx" lines (CwxRoutes.cpp).
void attachCwx(Radio& radio);
// "eq" lines make and feed the receive and transmit equalizers (EqualizerRoutes.cpp).
void attachEqualizers(Radio& radio);

// Whether the slice is this client's: always on radios without several GUI clients and until the
// session is a GUI client; otherwise when the client handles match.
bool ourSlice(const Radio& radio, const Slice& slice);

}  // namespace vm
