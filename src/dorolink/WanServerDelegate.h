#pragma once
// What the DoroLink server client tells its owner (the DoroLink login controller), always on the
// main thread. Every method is optional.
namespace vm {

class WanServerDelegate {
public:
    virtual ~WanServerDelegate() = default;

    // The server link is up (true: it also flashes the status light) or down.
    virtual void displaySmartServerStatus(bool /*up*/) {}
    // The link went down: the DoroLink check box goes off.
    virtual void uncheckDoroLinkButton() {}
    // `secured`: TLS has just come up; the owner answers with the registration.
    virtual void wanServerReadyCallback(bool /*secured*/) {}
    // New results of a connection test arrived (`connectionResults`).
    virtual void refreshNetWindow() {}
};

}  // namespace vm
