#pragma once
// One of the four panadapters on screen (pan 0 to 3): its window with the panadapter view over
// the waterfall view and the pan's live display controls, its set-once settings page among the
// preferences' panadapter tabs, the panafall it shows and that panafall's waterfall, and the two
// managers that keep the controls and the waterfall view in step with them. The app controller
// makes four and routes each of its panafalls to the one of the panafall's pan index; what lies
// outside the pan it asks of its PanadapterHost, and the views ask their DisplayController.
// The controller sends the radio only the panadapter view's pixel size when it changes; the views
// send what the operator does in them.
//
// Main thread only: the handlers run there (the managers move them there), as do the calls of
// the app controller.
#include "util/KeyTable.h"

#include <QSize>

#include <chrono>
#include <memory>

namespace vm {

class DisplayController;
class Panafall;
class PanadapterHost;
class PanadapterWindow;
class PanAdapterView;
class PanControls;
class PanSettingsPage;
class PopUpButton;
class VMKVOManager;
class Waterfall;
class WaterFallView;

class PanadapterController : public std::enable_shared_from_this<PanadapterController> {
public:
    // Pan `pan`'s window (named after the pan, with its saved frame) and views, talking to
    // `display`; `settings` is the pan's page in the preferences, which the preferences window
    // owns. `host` and `display` outlive the controller.
    static std::shared_ptr<PanadapterController> create(int pan, PanadapterHost& host,
                                                        DisplayController& display,
                                                        PanSettingsPage* settings);
    ~PanadapterController();
    PanadapterController(const PanadapterController&) = delete;
    PanadapterController& operator=(const PanadapterController&) = delete;

    // --- This pan's part of the app controller's binding of a panafall.
    // Binds a new panadapter manager (this controller its target) and, when the panafall has its
    // waterfall, a new waterfall manager (the waterfall view its target); each pushes every value
    // once. Managers it replaces stop observing. The centre field shows the centre.
    void loadPanafallKVO(const std::shared_ptr<Panafall>& pan);
    // Gives both views the panafall (the panadapter view takes its frames, the waterfall view its
    // waterfall's tiles), titles the window after the stream and brings it to the front with its
    // saved frame. Returns the panadapter view.
    PanAdapterView* loadPanafallWindow(const std::shared_ptr<Panafall>& pan);
    // Lets go of the panafall shown when it carries the stream id of `pan`: both managers
    // cancelled, the views detached and the window ordered out, except the first window, which
    // holds the radio chooser and the status line. False when this pan shows no panafall of that
    // stream id.
    bool cancelPanafalKVO(const std::shared_ptr<Panafall>& pan);
    // Saves the window's frame under its autosave name when the window is on screen.
    void saveWindowFrame();
    // Marks both views as scrolling while the pan's centre follows a tuning step; the mark clears
    // 0.01 s later.
    void scrollWhileRecentring();
    // The radio renders the spectrum for the view's pixel size: once the panadapter view has
    // stopped changing size for this long, the shown panafall is told its new size ("xpixels",
    // "ypixels"). Meanwhile both views are marked as resizing.
    static constexpr std::chrono::milliseconds kResizeSettle{150};

    // --- The pan's display controls and settings page (user to panafall). Each action calls the
    // shown panafall's setter, which stores the value and sends its command; with no panafall
    // shown nothing happens. A span or centre that is not a positive finite number is never sent.
    void bandwidthSliderChanged();  // on the main queue, after the slider's own event
    void averageSliderMoved();
    void fpsSliderMoved();
    void minDbmSliderMoved();
    void maxDbmSliderMoved();
    void preAmpPopupChanged();
    void wnbLevelSliderMoved();
    void wnbButtonChanged();
    // The centre typed into the centre field (MHz).
    void bandTextLabelChanged();
    void daxIqPopupChanged();
    // The widest span chosen: the span slider's maximum, stored, and the span sent again.
    void maxBandwidthPopupChanged();

    // --- The waterfall's share of the window (the settings page's share slider, percent).
    // Lays the two views out by the share and shows it in the share's text field.
    void adjustPanadapterViews();
    // The share slider moves: both views are marked as resizing while it moves, and once it has
    // stopped (the next turn of the main queue with no further move) `viewSliderDoneMoving` runs.
    void viewSliderMoved();
    // The marks cleared, the share stored, the waterfall redrawn in full.
    void viewSliderDoneMoving();
    // The split bar dragged in the panadapter view by `percent` (negative: downward).
    void dragPanadapterViews(double percent);

    // --- Start-up: the level sliders' ranges, and the span slider's maximum (MHz), the widest
    // span chosen on the settings page.
    void setDbmSliderRanges();
    void setMaxBandwidth(double megahertz);

    // --- Observers of the panafall: the pan's controls, its tab label and its gain pop-up follow
    // it. A panafall other than the one shown changes nothing; none at all writes the handler's
    // ":Error" line.
    static const KeyTable<PanadapterController, Panafall>& panafallKeyTable();
    // The waterfall view's observers of the pan's waterfall.
    static const KeyTable<WaterFallView, Waterfall>& waterfallKeyTable();
    void waterfallChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void centerChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void bandwidthChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void panDimensionsChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void minDbmChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void maxDbmChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void averageChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void fpsChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void preAmpListChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void rfGainChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void bandChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void wnbChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void wnbLevelChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void droppedFramesChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void wnbUpdatingChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    void daxIqChanged(const std::shared_ptr<Panafall>& pan, const Change* changed);
    // Fills the gain pop-up from the panafall's gain list and selects its gain; nothing when
    // either is missing.
    void loadGainPopup(PopUpButton* popup, const std::shared_ptr<Panafall>& pan);

    // The pan's window, and in it the panadapter view, the waterfall view and the live controls.
    std::unique_ptr<PanadapterWindow> velmoraSDRWindow;
    PanAdapterView* panAdapterView = nullptr;
    WaterFallView* waterFallView = nullptr;
    PanControls* panControls = nullptr;
    // The pan's page among the preferences' panadapter tabs.
    PanSettingsPage* panSettings = nullptr;
    // The panafall shown (none while the pan is free) and the managers of it and its waterfall.
    std::shared_ptr<Panafall> panafall;
    std::shared_ptr<VMKVOManager> panafallKVOManager, waterfallKVOManager;

private:
    struct Private {};

public:
    PanadapterController(Private, int pan, PanadapterHost& host, DisplayController& display,
                         PanSettingsPage* settings);

private:
    void createViews(DisplayController& display);
    // The display controls' and the settings page's actions, routed to this controller.
    void connectControls();
    // The waterfall view's controls, from the pan's controls; the panadapter view's grid tick
    // sliders and colour wells, from the settings page.
    void handControlsToView();
    // Stores the share slider's value under the pan's key.
    void storeViewProportion();
    // Tells the shown panafall the view's settled size, unless it already has it.
    void panViewResized(QSize size);
    // The controls of this pan when it shows `pan`; none for another panafall, and the handler's
    // error line for none at all.
    PanControls* shownControls(const std::shared_ptr<Panafall>& pan, const char* handler) const;

    const int pan_;
    PanadapterHost& host_;
    // The waterfall view as the waterfall manager's target: the window owns the view, and this
    // reference (with no deleter) is the only one the manager's weak reference follows.
    std::shared_ptr<WaterFallView> waterfallTarget_;
    // Counts the share slider's moves: only the last move's end of the move runs.
    unsigned viewSliderMoves_ = 0;
};

}  // namespace vm
