#pragma once
// The quick recorder's times in a slice panel, shown once a second while a radio is connected:
// while the slice plays its recording, the seconds left (its length minus the time since the
// panel started the playback) and the play button flashing green for half a second; while it
// records, the whole seconds since the panel started the recording.
#include <QImage>

#include <chrono>
#include <memory>

namespace vm {

class Slice;
class SlicePanelController;

void adjustQuickRecordDisplay(SlicePanelController& panel, const Slice& slice,
                              std::chrono::system_clock::time_point now, const QImage& green,
                              const QImage& black);

}  // namespace vm
