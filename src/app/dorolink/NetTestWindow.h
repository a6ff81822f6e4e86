#pragma once
// The DoroLink network test window: the radio's UPnP and forwarded ports, the choice between
// them, the button that stores forwarded ports in a radio on the local network, and the test of
// both with a light for each. Widgets carry their outlet names; the controller reads and sets them
// through these functions and hears the operator through the signals.
#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace vm {

class ImageButton;
class ProgressIndicator;
class TextField;

class NetTestWindow : public QWidget {
    Q_OBJECT

public:
    enum class Light { upnp, forwarded };
    enum class Port { upnpTcp, upnpUdp, manualTcp, manualUdp };

    explicit NetTestWindow(QWidget* parent = nullptr);

    void makeKeyAndOrderFront();

    void setLight(Light light, const QImage& image, const QString& toolTip);
    QString portText(Port port) const;
    void setPortText(Port port, const QString& text);
    int portValue(Port port) const;
    bool portForwardingOn() const;
    bool upnpOn() const;
    void setPortForwardingOn(bool on);
    void setUpnpOn(bool on);
    void setSaveEnabled(bool enabled, const QString& toolTip);
    void setStatusText(const QString& text);
    void setForwardingText(const QString& text);
    bool testEnabled() const;
    void setTestEnabled(bool enabled);
    void setTestRunning(bool running);

signals:
    void netTestButtonPressed();
    void saveButtonPressed();
    void setPortMode();

private:
    TextField* field(Port port) const;

    QTabWidget* netTabView;
    QPushButton* netTestButton;
    TextField* netAutoTCPPortText;
    TextField* netAutoUDPPortText;
    TextField* netManualTCPPortText;
    TextField* netManualUDPPortText;
    ImageButton* netTestAutoStatus;
    ImageButton* netTestManualStatus;
    QLabel* netForwardingText;
    QLabel* netStatusText;
    ProgressIndicator* connectionTestProgress;
    QRadioButton* upnpButton;
    QRadioButton* portforwardingButton;
    QPushButton* saveButton;
};

}  // namespace vm
