#pragma once
// Tuning steps that the panadapter and the waterfall views take alike: a dragged slice line that
// may carry the pan along, a drag of the background, the scroll wheel on a slice line, and the
// arrow keys. Main thread only.
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm {

class DisplayController;
class Panafall;
class Slice;

namespace view_tuning {

// From the main queue, after the current event: tunes `slice` to the text `megahertz` (autopan
// 0); when `mhz` then lies outside the pan, moves the pan's centre by as much, sets the views'
// scrolling flags through `setScrolling` and clears them 0.1 s later. Once `view` is gone only
// the slice is tuned.
void tuneAndFollow(DisplayController& controller, QPointer<QObject> view,
                   std::shared_ptr<Panafall> pan, std::shared_ptr<Slice> slice,
                   std::string megahertz, double mhz, std::function<void(bool)> setScrolling);

// A drag of the background by `dx` pixels to the left (negative: to the right), `megahertz` wide:
// the pan's centre moves up (down) by as much, so that the spectrum follows the pointer, with the
// scrolling flags set first. No move changes nothing.
void dragCentre(Panafall& pan, double dx, double megahertz,
                const std::function<void(bool)>& setScrolling);

// One fine-tuning call per step (Hz) from the main queue, after the current event, while `view`
// lives.
void wheelTune(DisplayController& controller, QPointer<QObject> view,
               const std::shared_ptr<Slice>& slice, const std::vector<double>& steps);

// Left and down tune the first of the client's slices inside the pan down by `step` Hz, right
// and up tune it up; other keys are ignored. Without such a slice every key beeps, except a
// modifier key pressed on its own, which does nothing.
void arrowKeyTune(DisplayController& controller, const Panafall* pan, int key, double step);

}  // namespace view_tuning
}  // namespace vm
