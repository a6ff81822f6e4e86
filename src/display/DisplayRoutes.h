#pragma once
// What the display models add to a session (called from the program's attach step): "display pan"
// and "display waterfall" status lines make, feed, pair and drop the session's panadapters and
// waterfalls; the reply to a panadapter request makes a pair; both kinds are filed with the stream
// router by stream id. This client's panadapters are announced with "PanafallCreated" and
// "PanafallDeleted" (object: the Panafall) on the main queue.
namespace vm {

class Radio;
class Panafall;

void attachDisplays(Radio& radio);
// "spot" lines fill and empty the session's `radio_spots` (SpotRoutes.cpp).
void attachSpots(Radio& radio);

// Whether the panadapter is this client's: always on radios without several GUI clients;
// otherwise when the session's client handle and the pan's are both known and equal.
bool ourPan(const Radio& radio, const Panafall& pan);

}  // namespace vm
