#pragma once
// The controller's handling of its windows:
//
// - closing panadapter window n while a radio is open gives the radio back the panadapter that
//   window shows ("display pan remove"); a window without one, or any other window, is only
//   logged;
// - a window that becomes key gets its entry in the Window menu (Preferences, HUD, CWX, Memories,
//   TNF);
// - the preferences window, when it becomes key or moves, floats see-through and untitled over a
//   main window that holds it whole, and is an ordinary window anywhere else;
// - moving the heads-up display retitles it after the panadapter under it and brings that
//   panadapter's window to the front;
// - the radio chooser's tool tip describes the chosen radio;
// - the application becoming active floats the preferences window again where it floats over a
//   main window, and resigning active puts it back at the normal level, so that it does not
//   stay above the windows of other programs;
// - the application counts as visible while any of its windows is exposed, and the host hears
//   each change between visible and occluded.
//
// Main thread only. The room holds the windows weakly; they belong to the controller.
#include <QPointer>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace vm {

class PanAdapterView;
class PanadapterWindow;
class PopUpButton;
class Window;
class WindowDelegatesHost;
class WindowMenu;
struct RadioInstance;

class WindowDelegates : public std::enable_shared_from_this<WindowDelegates> {
public:
    struct Windows {
        std::array<PanadapterWindow*, 4> panWindows{};  // velmoraSDRWindow ... velmoraSDRWindow3
        std::array<PanAdapterView*, 4> panViews{};      // each window's panadapter view
        Window* prefsWindow = nullptr;
        Window* hud = nullptr;
        Window* cwxWindow = nullptr;
        Window* memoryPanel = nullptr;
        Window* tnfPanel = nullptr;
        WindowMenu* windowMenu = nullptr;
        PopUpButton* radioPortNamePopUp = nullptr;
    };

    // Listens to the windows' close, move and key events.
    static std::shared_ptr<WindowDelegates> create(const Windows& windows,
                                                   std::weak_ptr<WindowDelegatesHost> host);
    WindowDelegates(const WindowDelegates&) = delete;
    WindowDelegates& operator=(const WindowDelegates&) = delete;

    void windowWillClose(Window& window);
    void windowDidBecomeKey(Window& window);
    void windowDidMove(Window& window);
    void adjustPrefsWindow();
    void applicationDidBecomeActive();
    void applicationWillResignActive();
    // Whether any of the windows is exposed now.
    bool applicationVisible() const;
    // The first panadapter window (0 to 3) whose frame meets the heads-up display's; none.
    std::optional<int> panWindowUnderHud() const;

    void setRadioTooltp();
    // The tool tip's text for a radio: its address, port, model, serial number, name, call sign,
    // version and status; a DoroLink radio's public address and TLS port.
    static std::string getDoroRadioInfo(const RadioInstance* radio);

private:
    struct Private {};

public:
    WindowDelegates(Private, const Windows& windows, std::weak_ptr<WindowDelegatesHost> host);

private:
    void listen();
    std::vector<Window*> windows() const;
    std::optional<int> panIndexOf(const Window& window) const;
    void windowOcclusionChanged();

    std::array<QPointer<PanadapterWindow>, 4> panWindows_;
    std::array<QPointer<PanAdapterView>, 4> panViews_;
    QPointer<Window> prefsWindow_, hud_, cwxWindow_, memoryPanel_, tnfPanel_;
    QPointer<WindowMenu> windowMenu_;
    QPointer<PopUpButton> radioPortNamePopUp_;
    std::weak_ptr<WindowDelegatesHost> host_;
    bool visible_ = true;  // as last told to the host
};

}  // namespace vm
