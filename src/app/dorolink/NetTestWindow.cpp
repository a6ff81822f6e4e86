#include "app/dorolink/NetTestWindow.h"

#include "app/windows/WidgetKit.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TextField.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vm {

namespace {

QWidget* portsTab(QWidget* parent, TextField* tcp, TextField* udp, QRadioButton* mode,
                  ImageButton* light, const QString& lightTitle) {
    auto* tab = new QWidget(parent);
    auto* grid = new QGridLayout(tab);
    grid->addWidget(mode, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("TCP port:"), tab), 1, 0);
    grid->addWidget(tcp, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("UDP port:"), tab), 2, 0);
    grid->addWidget(udp, 2, 1);
    light->setFixedSize(18, 18);
    grid->addWidget(new QLabel(lightTitle, tab), 3, 0);
    grid->addWidget(light, 3, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
    return tab;
}

}  // namespace

NetTestWindow::NetTestWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("netWindow"));
    setWindowTitle(QStringLiteral("DoroLink Network Test"));
    netAutoTCPPortText = kit::textField(this, QStringLiteral("netAutoTCPPortText"));
    netAutoUDPPortText = kit::textField(this, QStringLiteral("netAutoUDPPortText"));
    netManualTCPPortText = kit::textField(this, QStringLiteral("netManualTCPPortText"));
    netManualUDPPortText = kit::textField(this, QStringLiteral("netManualUDPPortText"));
    // The UPnP ports are the router's to choose: shown, never sent.
    netAutoTCPPortText->setReadOnly(true);
    netAutoUDPPortText->setReadOnly(true);
    netTestAutoStatus = kit::imageButton(this, QStringLiteral("netTestAutoStatus"));
    netTestManualStatus = kit::imageButton(this, QStringLiteral("netTestManualStatus"));
    upnpButton = new QRadioButton(QStringLiteral("The radio's ports are mapped by UPnP"), this);
    upnpButton->setObjectName(QStringLiteral("upnpButton"));
    portforwardingButton =
        new QRadioButton(QStringLiteral("The ports are forwarded on the router"), this);
    portforwardingButton->setObjectName(QStringLiteral("portforwardingButton"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(upnpButton);
    modes->addButton(portforwardingButton);
    upnpButton->setChecked(true);

    netTabView = new QTabWidget(this);
    netTabView->setObjectName(QStringLiteral("netTabView"));
    netTabView->addTab(portsTab(netTabView, netAutoTCPPortText, netAutoUDPPortText, upnpButton,
                                netTestAutoStatus, QStringLiteral("UPnP ports reachable:")),
                       QStringLiteral("UPnP"));
    netTabView->addTab(
        portsTab(netTabView, netManualTCPPortText, netManualUDPPortText, portforwardingButton,
                 netTestManualStatus, QStringLiteral("Forwarded ports reachable:")),
        QStringLiteral("Port Forwarding"));

    netForwardingText = kit::label(this, QStringLiteral("netForwardingText"));
    netForwardingText->setWordWrap(true);
    netStatusText = kit::label(this, QStringLiteral("netStatusText"));
    connectionTestProgress = new ProgressIndicator(this);
    connectionTestProgress->setObjectName(QStringLiteral("connectionTestProgress"));
    netTestButton = kit::button(this, QStringLiteral("netTestButton"), QStringLiteral("Test"));
    saveButton = kit::button(this, QStringLiteral("saveButton"), QStringLiteral("Save"));
    saveButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(connectionTestProgress);
    buttons->addWidget(netStatusText, 1);
    buttons->addWidget(saveButton);
    buttons->addWidget(netTestButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(netForwardingText);
    layout->addWidget(netTabView, 1);
    layout->addLayout(buttons);
    resize(440, 300);

    connect(netTestButton, &QPushButton::clicked, this, &NetTestWindow::netTestButtonPressed);
    connect(saveButton, &QPushButton::clicked, this, &NetTestWindow::saveButtonPressed);
    connect(upnpButton, &QRadioButton::clicked, this, &NetTestWindow::setPortMode);
    connect(portforwardingButton, &QRadioButton::clicked, this, &NetTestWindow::setPortMode);
}

void NetTestWindow::makeKeyAndOrderFront() {
    show();
    raise();
    activateWindow();
}

void NetTestWindow::setLight(Light light, const QImage& image, const QString& toolTip) {
    ImageButton* button = light == Light::upnp ? netTestAutoStatus : netTestManualStatus;
    button->setImage(image);
    button->setToolTip(toolTip);
}

TextField* NetTestWindow::field(Port port) const {
    switch (port) {
        case Port::upnpTcp: return netAutoTCPPortText;
        case Port::upnpUdp: return netAutoUDPPortText;
        case Port::manualTcp: return netManualTCPPortText;
        case Port::manualUdp: break;
    }
    return netManualUDPPortText;
}

QString NetTestWindow::portText(Port port) const { return field(port)->text(); }
void NetTestWindow::setPortText(Port port, const QString& text) { field(port)->setText(text); }
int NetTestWindow::portValue(Port port) const { return field(port)->intValue(); }
bool NetTestWindow::portForwardingOn() const { return portforwardingButton->isChecked(); }
bool NetTestWindow::upnpOn() const { return upnpButton->isChecked(); }
void NetTestWindow::setPortForwardingOn(bool on) { portforwardingButton->setChecked(on); }
void NetTestWindow::setUpnpOn(bool on) { upnpButton->setChecked(on); }

void NetTestWindow::setSaveEnabled(bool enabled, const QString& toolTip) {
    saveButton->setEnabled(enabled);
    saveButton->setToolTip(toolTip);
}

void NetTestWindow::setStatusText(const QString& text) { netStatusText->setText(text); }
void NetTestWindow::setForwardingText(const QString& text) { netForwardingText->setText(text); }
bool NetTestWindow::testEnabled() const { return netTestButton->isEnabled(); }
void NetTestWindow::setTestEnabled(bool enabled) { netTestButton->setEnabled(enabled); }

void NetTestWindow::setTestRunning(bool running) {
    if (running) {
        connectionTestProgress->startAnimation();
    } else {
        connectionTestProgress->stopAnimation();
    }
}

}  // namespace vm
