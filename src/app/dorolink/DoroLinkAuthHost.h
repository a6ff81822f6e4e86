#pragma once
// What the DoroLink login controller and its network test window need from the application's
// controller: the identity and the server light on the Radio preferences, the DoroLink check box,
// alerts and notices, the progress indicator, and the radios (the open one, which it may
// rename or close, the local ones and the rows chosen in the two radio tables). The application's
// controller implements it; tests implement it in a few lines. Called on the main thread only.
#include "radio/RadioInstance.h"

#include <QImage>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace vm {

class DoroLinkAuthHost {
public:
    virtual ~DoroLinkAuthHost() = default;

    // The claims (JSON text) of the signed-in identity; empty clears it.
    virtual void displayIdToken(const std::string& claims) = 0;
    // The DoroLink server light on the Radio preferences: its image and tool tip.
    virtual void setDoroLinkServerImage(const QImage& image) = 0;
    virtual void setDoroLinkServerToolTip(const QString& text) = 0;
    // The DoroLink check box goes off.
    virtual void uncheckDoroLinkButton() = 0;
    virtual void setNetworkTestEnabled(bool enabled) = 0;
    // A warning alert with one "OK" button, run modally; a user notification.
    virtual void showWarning(const QString& message, const QString& informative) = 0;
    virtual void tellUser(const std::string& title, const std::string& text) = 0;
    // The DoroLink progress indicator runs while a request is out.
    virtual void setDoroLinkBusy(bool busy) = 0;

    // The record of the radio open now (none without one), and the forwarded ports stored in that
    // radio ("wan set ..."). The radios of the local network, and the selected rows of the local
    // and DoroLink radio tables (-1 without a selection).
    virtual std::shared_ptr<RadioInstance> openRadioInstance() const = 0;
    virtual void wanSetForwardedPorts(bool portForwardingOn, int tcpPort, int udpPort) = 0;
    // The open radio's name and call sign sent to it ("radio name ...", "radio callsign ...").
    virtual void cmdSetRadioName(const std::string& name) = 0;
    virtual void cmdSetRadioCallSign(const std::string& callsign) = 0;
    // Closes the open radio (logged with `logPrefix`); false when none was open.
    virtual bool closeOpenRadio(const std::string& logPrefix) = 0;
    virtual std::vector<std::shared_ptr<RadioInstance>> localRadios() const = 0;
    virtual int selectedLocalRow() const = 0;
    virtual int selectedRemoteRow() const = 0;
};

}  // namespace vm
