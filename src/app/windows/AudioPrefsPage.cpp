#include "app/windows/AudioPrefsPage.h"

#include "app/windows/WidgetKit.h"
#include "platform/ui/ControlPrefs.h"

namespace vm {

using namespace kit;

namespace {

const char* const kInputDeviceKey = "audio_input_device_01";
const char* const kOutputDeviceKey = "audio_out_device_01";

}  // namespace

AudioPrefsPage::AudioPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* grid = new QGridLayout(this);

    auto* computer = group(grid, 0, 0, QStringLiteral("Computer audio (remote audio)"));
    remoteAudioCheckBox =
        checkBox(this, QStringLiteral("remoteAudioCheckBox"),
                 QStringLiteral("Play the radio's audio here and send this microphone"));
    row(computer, {}, {remoteAudioCheckBox});
    audioInputDevicesPopup = popUp(this, QStringLiteral("audioInputDevicesPopup"));
    audioOutputDevicesPopup = popUp(this, QStringLiteral("audioOutputDevicesPopup"));
    audioInputDevicesPopup->setMinimumWidth(220);
    audioOutputDevicesPopup->setMinimumWidth(220);
    row(computer, QStringLiteral("Input"), {audioInputDevicesPopup});
    row(computer, QStringLiteral("Output"), {audioOutputDevicesPopup});
    micLevelIndicator = levelIndicator(this, QStringLiteral("micLevelIndicator"));
    micLevelText = textField(this, QStringLiteral("micLevelText"), true);
    micPeakLevelIndicator = levelIndicator(this, QStringLiteral("micPeakLevelIndicator"));
    micPeakLevelText = textField(this, QStringLiteral("micPeakLevelText"), true);
    for (LevelIndicator* meter : {micLevelIndicator, micPeakLevelIndicator}) {
        meter->setMinValue(-60);
        meter->setMaxValue(0);
        meter->setWarningValue(-10);
        meter->setCriticalValue(-3);
        meter->setMinimumWidth(180);
    }
    row(computer, QStringLiteral("Mic level"), {micLevelIndicator, micLevelText});
    row(computer, QStringLiteral("Mic peak"), {micPeakLevelIndicator, micPeakLevelText});

    auto* radio = group(grid, 0, 1, QStringLiteral("Radio audio"));
    radioSpeakerMuteCheckBox =
        checkBox(this, QStringLiteral("radioSpeakerMuteCheckBox"), QStringLiteral("On"));
    levelRow(radio, this, QStringLiteral("Speaker"), radioSpeakerVolumeSlider,
             QStringLiteral("radioSpeakerVolumeSlider"), radioSpeakerVolumeText,
             QStringLiteral("radioSpeakerVolumeText"), 0, 100, radioSpeakerMuteCheckBox);
    radioHeadsetMuteCheckBox =
        checkBox(this, QStringLiteral("radioHeadsetMuteCheckBox"), QStringLiteral("On"));
    levelRow(radio, this, QStringLiteral("Headphones"), radioHeadsetVolumeSlider,
             QStringLiteral("radioHeadsetVolumeSlider"), radioHeadsetVolumeText,
             QStringLiteral("radioHeadsetVolumeText"), 0, 100, radioHeadsetMuteCheckBox);
    micListPopup = popUp(this, QStringLiteral("micListPopup"));
    row(radio, QStringLiteral("Microphone"), {micListPopup});
    levelRow(radio, this, QStringLiteral("Mic level"), radioMicLevelSlider,
             QStringLiteral("radioMicLevelSlider"), radioMicLevelText,
             QStringLiteral("radioMicLevelText"), 0, 100);
    radioMicBiasEnabledCheckBox =
        checkBox(this, QStringLiteral("radioMicBiasEnabledCheckBox"), QStringLiteral("Bias"));
    radioMicBoostEnabledCheckBox = checkBox(this, QStringLiteral("radioMicBoostEnabledCheckBox"),
                                            QStringLiteral("+20 dB boost"));
    row(radio, {}, {radioMicBiasEnabledCheckBox, radioMicBoostEnabledCheckBox});
    radioPhoneMonitorCheckBox =
        checkBox(this, QStringLiteral("radioPhoneMonitorCheckBox"), QStringLiteral("On"));
    levelRow(radio, this, QStringLiteral("Monitor"), radioPhoneMonitorGainSlider,
             QStringLiteral("radioPhoneMonitorGainSlider"), radioPhoneMonitorGainText,
             QStringLiteral("radioPhoneMonitorGainText"), 0, 100, radioPhoneMonitorCheckBox);

    // The recording controls start hidden.
    auto* recording = group(grid, 1, 0, QStringLiteral("Voice recordings"), 1, 2);
    recorded_filesPopUp = popUp(this, QStringLiteral("recorded_filesPopUp"));
    recorded_filesPopUp->setMinimumWidth(240);
    recordStopButton = button(this, QStringLiteral("recordStopButton"), QStringLiteral("Stop"));
    recordStopButton->setCheckable(true);  // on while recording
    fileTransmitButton =
        button(this, QStringLiteral("fileTransmitButton"), QStringLiteral("Transmit File"));
    elapsedSecondsLabel = label(this, QStringLiteral("elapsedSecondsLabel"));
    leftPowerIndicator = levelIndicator(this, QStringLiteral("leftPowerIndicator"));
    rightPowerIndicator = levelIndicator(this, QStringLiteral("rightPowerIndicator"));
    row(recording, QStringLiteral("File"),
        {recorded_filesPopUp, recordStopButton, fileTransmitButton, elapsedSecondsLabel});
    row(recording, QStringLiteral("Left"), {leftPowerIndicator});
    row(recording, QStringLiteral("Right"), {rightPowerIndicator});
    for (QWidget* hidden :
         {static_cast<QWidget*>(recorded_filesPopUp), static_cast<QWidget*>(recordStopButton),
          static_cast<QWidget*>(fileTransmitButton), static_cast<QWidget*>(leftPowerIndicator),
          static_cast<QWidget*>(rightPowerIndicator), static_cast<QWidget*>(elapsedSecondsLabel)}) {
        hidden->hide();
    }
    grid->setRowStretch(2, 1);

    stored_.popUp(audioInputDevicesPopup, kInputDeviceKey);
    stored_.popUp(audioOutputDevicesPopup, kOutputDeviceKey);

    connect(audioInputDevicesPopup, &PopUpButton::action, this,
            [this] { emit audioInputDevicesPopupChanged(audioInputDevicesPopup->title()); });
    connect(audioOutputDevicesPopup, &PopUpButton::action, this,
            [this] { emit audioOutputDevicesPopupChanged(audioOutputDevicesPopup->title()); });
    connect(remoteAudioCheckBox, &CheckBox::action, this,
            [this] { emit remoteAudioCheckBoxChanged(remoteAudioCheckBox->state()); });
    connect(recordStopButton, &QPushButton::clicked, this, &AudioPrefsPage::recordSoundFile);
    connect(fileTransmitButton, &QPushButton::clicked, this,
            [this] { emit transmitSoundFile(recorded_filesPopUp->title()); });
}

PopUpButton* AudioPrefsPage::devicePopup(Side side) const {
    return side == Side::input ? audioInputDevicesPopup : audioOutputDevicesPopup;
}

void AudioPrefsPage::setAudioDevices(Side side, const std::vector<Device>& devices) {
    PopUpButton* popup = devicePopup(side);
    popup->clear();
    for (const Device& device : devices) {
        // Each device is its own entry, with the device kept on it, even when two share a name.
        if (device.uid.empty()) {
            popup->addItem(QString::fromStdString(device.title));
        } else {
            popup->addItem(QString::fromStdString(device.title),
                           QString::fromStdString(device.uid));
        }
    }
    setPopupWithPrefTitle(popup, side == Side::input ? kInputDeviceKey : kOutputDeviceKey);
}

std::string AudioPrefsPage::audioDevice(Side side) const { return devicePopup(side)->title(); }

std::string AudioPrefsPage::audioDeviceUid(Side side) const {
    return devicePopup(side)->currentData().toString().toStdString();
}

void AudioPrefsPage::showAudioDevice(Side side, const std::string& title) {
    PopUpButton* popup = devicePopup(side);
    if (const int index = popup->indexOfItemWithTitle(title); index >= 0) {
        popup->selectItemAtIndex(index);
    }
}

bool AudioPrefsPage::remoteAudio() const { return remoteAudioCheckBox->state(); }

void AudioPrefsPage::setRemoteAudio(bool on) { remoteAudioCheckBox->setState(on); }

void AudioPrefsPage::setRecordStopButtonTitle(const std::string& title) {
    recordStopButton->setText(QString::fromStdString(title));
    recordStopButton->setChecked(title == "Stop");
}

void AudioPrefsPage::setElapsedSecondsLabelHidden(bool hidden) {
    elapsedSecondsLabel->setHidden(hidden);
}

void AudioPrefsPage::setElapsedSecondsLabel(const std::string& text) {
    elapsedSecondsLabel->setText(QString::fromStdString(text));
}

void AudioPrefsPage::setLeftPowerIndicator(double level) {
    leftPowerIndicator->setDoubleValue(level);
}

void AudioPrefsPage::setRightPowerIndicator(double level) {
    rightPowerIndicator->setDoubleValue(level);
}

void AudioPrefsPage::removeAllRecordedFiles() { recorded_filesPopUp->clear(); }

void AudioPrefsPage::addRecordedFile(const std::string& title) {
    recorded_filesPopUp->addItem(QString::fromStdString(title));
}

void AudioPrefsPage::selectRecordedFile(const std::string& title) {
    recorded_filesPopUp->selectItemWithTitle(title);
}

bool AudioPrefsPage::radioSpeakerOn() const { return radioSpeakerMuteCheckBox->state(); }

double AudioPrefsPage::radioSpeakerVolume() const {
    return radioSpeakerVolumeSlider->doubleValue();
}

bool AudioPrefsPage::radioHeadsetOn() const { return radioHeadsetMuteCheckBox->state(); }

double AudioPrefsPage::radioHeadsetVolume() const {
    return radioHeadsetVolumeSlider->doubleValue();
}

void AudioPrefsPage::showRadioSpeakerVolume(double volume) {
    radioSpeakerVolumeSlider->setDoubleValue(volume);
    radioSpeakerVolumeText->setIntValue(int(volume));
}

void AudioPrefsPage::showMicLevel(double dbfs) {
    micLevelIndicator->setDoubleValue(dbfs);
    micLevelText->setStringValue(QStringLiteral("%1 dBfs").arg(dbfs, 0, 'f', 0).toStdString());
}

void AudioPrefsPage::showMicPeakLevel(double dbfs) {
    micPeakLevelIndicator->setDoubleValue(dbfs);
    micPeakLevelText->setStringValue(QStringLiteral("%1 dBfs").arg(dbfs, 0, 'f', 0).toStdString());
}

}  // namespace vm
