#pragma once
// The network test window's work: which radio it shows and which it tests, the ports it shows,
// storing forwarded ports in a radio on the local network, and the test through the DoroLink
// server with its two lights. Main thread only.
#include "app/dorolink/DoroLinkAuthHost.h"
#include "app/dorolink/NetTestWindow.h"

#include <chrono>
#include <memory>

namespace vm {

class WanServer;

class NetTestController {
public:
    static constexpr std::chrono::milliseconds kTestDelay{100};
    static constexpr std::chrono::seconds kTestPatience{60};

    NetTestController(DoroLinkAuthHost& host, std::shared_ptr<WanServer> server);
    ~NetTestController();
    NetTestController(const NetTestController&) = delete;
    NetTestController& operator=(const NetTestController&) = delete;

    // The window in front with grey lights, refreshed; a test follows 0.1 s later.
    void openNetWindow();
    void refreshNetWindow();
    void saveButtonPressed();
    void netTestButtonPressed();
    void setPortMode();

    // The DoroLink radio, or the local radio, the window works on: none when there is none; the
    // only one; else the row chosen in its table when valid, else the first.
    std::shared_ptr<RadioInstance> selectedRemoteRadio() const;
    std::shared_ptr<RadioInstance> selectedLocalRadio() const;

    NetTestWindow& netWindow() const { return *netWindow_; }

private:
    void greyLights();

    DoroLinkAuthHost& host_;
    const std::shared_ptr<WanServer> server_;
    std::unique_ptr<NetTestWindow> netWindow_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for the delayed steps
};

}  // namespace vm
