#pragma once
// The observable state of one radio session: every property the status lines, the replies and the
// command setters write, and the collections of the radio's objects. Each property is declared
// once under the name its observers use.
//
// Writers follow these rules:
// - a value that came from the radio is stored and announced on the main queue (storeOnMain);
// - a command setter stores and announces on the calling thread and queues its command on the
//   session's queue (Radio::setAndSend);
// - every write announces, also when the value did not change.
// The queue, the word tables and the collections are set when the session is built and never
// replaced; the collections change under their own locks and are not announced.
#include "platform/core/ConstantProperty.h"
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/Observable.h"
#include "radio/FilterTable.h"
#include "radio/RadioInstance.h"
#include "radio/RadioRecordTables.h"
#include "radio/RadioStatusTables.h"
#include "radio/RadioTypes.h"
#include "radio/StatusTokens.h"

#include <memory>
#include <optional>
#include <string>

namespace vm {

class RadioDelegate;

class RadioState : public Observable {
public:
    // Session and identity.
    Observed<std::weak_ptr<RadioDelegate>> delegate{this, "delegate"};
    Observed<std::shared_ptr<RadioInstance>> radioInstance{this, "radioInstance"};
    Observed<std::string> apiProgramName{this, "apiProgramName"};
    Observed<int> debugLogLevel{this, "debugLogLevel"};
    ConstantProperty<DispatchQueuePtr> radioRunQueue{
        this, "radioRunQueue", DispatchQueue::serial("com.velmorasoftware.vmsdr.RadioQueue")};
    Observed<DispatchSourcePtr> pingTimer{this, "pingTimer"};
    Observed<std::optional<DispatchClock::time_point>> lastPingRxtime{this, "lastPingRxtime"};
    Observed<std::shared_ptr<VitaManager>> vitaManager{this, "vitaManager"};
    Observed<Text> apiVersion{this, "apiVersion"};
    Observed<Text> apiHandle{this, "apiHandle"};
    Text clientHandle() const { return clientHandle_(); }  // read-only: the handle line sets it
    Observed<Number> isGui{this, "isGui"};
    Observed<Text> radioName{this, "radioName"};
    Observed<Text> radioCallsign{this, "radioCallsign"};
    Observed<Text> radioModel{this, "radioModel"};
    Observed<Text> radioScreenSaver{this, "radioScreenSaver"};
    Observed<Number> atuPresent{this, "atuPresent"};
    Observed<Text> doroSdrVersion{this, "doroSdrVersion"};
    Observed<Text> psocMbtrxVersion{this, "psocMbtrxVersion"};
    Observed<Text> psocMbPa100Version{this, "psocMbPa100Version"};
    Observed<Text> fpgaMbVersion{this, "fpgaMbVersion"};
    Observed<Text> callSign6300{this, "callSign6300"};
    Observed<Text> callSign6400{this, "callSign6400"};
    Observed<Text> callSign6500{this, "callSign6500"};
    Observed<Text> callSign6600{this, "callSign6600"};
    Observed<Text> callSign6700{this, "callSign6700"};

    // Tables of the protocol.
    // The key tables of the radio-wide types are built from the rows of their status tables.
    ConstantProperty<const TokenTable*> statusTokens{this, "statusTokens", &statusTypeTokens()};
    ConstantProperty<const TokenTable*> statusRadioTokens{this, "statusRadioTokens",
                                                          &radioStatusTable().tokens()};
    ConstantProperty<const TokenTable*> statusTransmitTokens{this, "statusTransmitTokens",
                                                             &transmitStatusTable().tokens()};
    ConstantProperty<const TokenTable*> statusInterlockTokens{this, "statusInterlockTokens",
                                                              &interlockStatusTable().tokens()};
    ConstantProperty<const TokenTable*> statusInterlockStateTokens{
        this, "statusInterlockStateTokens", &interlockStateTokens()};
    ConstantProperty<const TokenTable*> statusInterlockReasonTokens{
        this, "statusInterlockReasonTokens", &interlockReasonTokens()};
    ConstantProperty<const TokenTable*> statusAtuTokens{this, "statusAtuTokens",
                                                        &atuStatusTable().tokens()};
    ConstantProperty<const TokenTable*> statusAtuStatusTokens{this, "statusAtuStatusTokens",
                                                              &atuStatusTokens()};
    ConstantProperty<const TokenTable*> statusWanTokens{this, "statusWanTokens",
                                                        &wanStatusTable().tokens()};
    ConstantProperty<const TokenTable*> statusXvtrTokens{this, "statusXvtrTokens",
                                                         &xvtrRecordTable().tokens()};
    ConstantProperty<const TokenTable*> clientTokens{this, "clientTokens",
                                                     &clientRecordTable().tokens()};
    ConstantProperty<std::shared_ptr<ResponseCallbacks>> responseCallbacks{
        this, "responseCallbacks", std::make_shared<ResponseCallbacks>()};
    ConstantProperty<std::shared_ptr<NotifyList>> notifyList{this, "notifyList",
                                                             std::make_shared<NotifyList>()};
    ConstantProperty<const FilterTable*> filters{this, "filters", &stockFilterTable()};

    // Collections of the radio's objects.
    ConstantProperty<std::shared_ptr<SliceSlots>> slices{this, "slices",
                                                         std::make_shared<SliceSlots>()};
    ConstantProperty<std::shared_ptr<EqualizerSlots>> equalizers{
        this, "equalizers", std::make_shared<EqualizerSlots>()};
    ConstantProperty<std::shared_ptr<ObjectsById<Meter>>> meters{
        this, "meters", std::make_shared<ObjectsById<Meter>>()};
    ConstantProperty<std::shared_ptr<ObjectsById<Meter>>> metersByShortName{
        this, "metersByShortName", std::make_shared<ObjectsById<Meter>>()};
    ConstantProperty<std::shared_ptr<ObjectsById<Panafall>>> panafalls{
        this, "panafalls", std::make_shared<ObjectsById<Panafall>>()};
    ConstantProperty<std::shared_ptr<ObjectsById<Waterfall>>> waterfalls{
        this, "waterfalls", std::make_shared<ObjectsById<Waterfall>>()};
    ConstantProperty<std::shared_ptr<ObjectsById<DAXAudio>>> daxAudioStreamToStreamHandler{
        this, "daxAudioStreamToStreamHandler", std::make_shared<ObjectsById<DAXAudio>>()};
    ConstantProperty<std::shared_ptr<ObjectsById<OpusAudio>>> opusAudioStreamHandlers{
        this, "opusAudioStreamHandlers", std::make_shared<ObjectsById<OpusAudio>>()};
    ConstantProperty<std::shared_ptr<ObjectsById<RemoteAudio>>> remoteAudioStreamHandlers{
        this, "remoteAudioStreamHandlers", std::make_shared<ObjectsById<RemoteAudio>>()};
    ConstantProperty<std::shared_ptr<ObjectList<Xvtr>>> xvtrs{this, "xvtrs",
                                                              std::make_shared<ObjectList<Xvtr>>()};
    ConstantProperty<std::shared_ptr<ObjectList<TNF>>> tnfs{this, "tnfs",
                                                            std::make_shared<ObjectList<TNF>>()};
    ConstantProperty<std::shared_ptr<ObjectList<Client>>> guiClients{
        this, "guiClients", std::make_shared<ObjectList<Client>>()};
    ConstantProperty<std::shared_ptr<SpotList>> radio_spots{this, "radio_spots",
                                                            std::make_shared<SpotList>()};
    ConstantProperty<std::shared_ptr<NamedLock>> radio_spots_lock{
        this, "radio_spots_lock",
        std::make_shared<NamedLock>("com.velmorasoftware.vmsdr_radio_spots_lock")};
    Observed<std::shared_ptr<Cwx>> cwx{this, "cwx"};
    Observed<std::shared_ptr<Amplifier>> amplifier{this, "amplifier"};
    Observed<std::shared_ptr<USBCable>> usbCable{this, "usbCable"};
    Observed<TextList> rxAntennaPorts{this, "rxAntennaPorts"};
    Observed<TextList> txAntennaPorts{this, "txAntennaPorts", TextList{"ANT1", "ANT2", "XVTR"}};
    Observed<TextList> antList{this, "antList"};
    Observed<TextList> micList{this, "micList"};

    // Capacity.
    Observed<Number> availableSlices{this, "availableSlices"};
    Observed<Number> availablePanadapters{this, "availablePanadapters"};
    Observed<Number> daxiqAvailable{this, "daxiqAvailable"};
    Observed<Number> daxiqCapacity{this, "daxiqCapacity"};

    // Interlock.
    Observed<Number> interlockState{this, "interlockState"};
    Observed<Text> interlockReason{this, "interlockReason"};
    Observed<Text> pttSource{this, "pttSource"};
    Observed<Text> amplifierHandles{this, "amplifierHandles"};
    Observed<Text> txClientHandle{this, "txClientHandle"};
    Observed<Number> txAllowed{this, "txAllowed"};
    Observed<Number> pttDelay{this, "pttDelay"};
    Observed<Number> interlockTimeoutValue{this, "interlockTimeoutValue"};
    Observed<Number> accTxReqEnable{this, "accTxReqEnable"};
    Observed<Number> rcaTxReqEnable{this, "rcaTxReqEnable"};
    Observed<Number> accTxReqPolarity{this, "accTxReqPolarity"};
    Observed<Number> rcaTxReqPolarity{this, "rcaTxReqPolarity"};
    Observed<Number> tx1Delay{this, "tx1Delay"};
    Observed<Number> tx2Delay{this, "tx2Delay"};
    Observed<Number> tx3Delay{this, "tx3Delay"};
    Observed<Number> accTxDelay{this, "accTxDelay"};
    Observed<Number> txDelay{this, "txDelay"};
    Observed<Number> tx1Enabled{this, "tx1Enabled"};
    Observed<Number> tx2Enabled{this, "tx2Enabled"};
    Observed<Number> tx3Enabled{this, "tx3Enabled"};
    Observed<Number> accTxEnabled{this, "accTxEnabled"};

    // Transmit.
    Observed<Text> transmitFrequency{this, "transmitFrequency"};
    Observed<Text> txSliceMode{this, "txSliceMode"};
    Observed<Text> txAntenna{this, "txAntenna"};
    Observed<Text> transmitFilterLo{this, "transmitFilterLo"};
    Observed<Text> transmitFilterHi{this, "transmitFilterHi"};
    Observed<Number> rfPowerLevel{this, "rfPowerLevel"};
    Observed<Number> maxPowerLevel{this, "maxPowerLevel"};
    Observed<Number> tunePowerLevel{this, "tunePowerLevel", 10};
    Observed<Number> amCarrierLevel{this, "amCarrierLevel"};
    Observed<Number> txState{this, "txState"};
    Observed<Number> tuneEnabled{this, "tuneEnabled"};
    Observed<Number> txInhibit{this, "txInhibit"};
    Observed<Number> txInWaterfall{this, "txInWaterfall"};
    Observed<Number> hwAlcEnabled{this, "hwAlcEnabled"};
    Observed<Number> txDaxEnabled{this, "txDaxEnabled"};
    Observed<Number> rawIQEnabled{this, "rawIQEnabled"};
    Observed<Number> txFilterChangesAllowed{this, "txFilterChangesAllowed"};
    Observed<Number> txRfPowerChangesAllowed{this, "txRfPowerChangesAllowed"};
    Observed<Number> metInRxEnabled{this, "metInRxEnabled"};
    Observed<Number> syncCWX{this, "syncCWX"};
    Observed<Number> monAvailable{this, "monAvailable"};

    // Microphone and speech processing.
    Observed<Text> micSelection{this, "micSelection"};
    Observed<Number> micLevel{this, "micLevel"};
    Observed<Number> micBoost{this, "micBoost"};
    Observed<Number> micBias{this, "micBias"};
    Observed<Number> micAccEnabled{this, "micAccEnabled"};
    Observed<Number> companderEnabled{this, "companderEnabled"};
    Observed<Number> companderLevel{this, "companderLevel"};
    Observed<Number> speechProcEnabled{this, "speechProcEnabled"};
    Observed<Number> speechProcLevel{this, "speechProcLevel"};
    Observed<Number> noiseGateLevel{this, "noiseGateLevel"};
    Observed<Number> voxEnabled{this, "voxEnabled"};
    Observed<Number> voxLevel{this, "voxLevel"};
    Observed<Number> voxDelay{this, "voxDelay"};
    Observed<Number> voxVisible{this, "voxVisible"};

    // CW and monitor.
    Observed<Number> cwPitch{this, "cwPitch"};
    Observed<Number> cwSpeed{this, "cwSpeed"};
    Observed<Number> cwIambicEnabled{this, "cwIambicEnabled"};
    Observed<Number> cwSwapPaddles{this, "cwSwapPaddles"};
    Observed<Number> cwBreakinEnabled{this, "cwBreakinEnabled"};
    Observed<Number> cwBreakinDelay{this, "cwBreakinDelay"};
    Observed<Number> cwlEnabled{this, "cwlEnabled"};
    Observed<Text> cwIambicMode{this, "cwIambicMode"};  // "A" or "B"
    Observed<Number> sidetone{this, "sidetone"};
    Observed<Number> sidetoneGain{this, "sidetoneGain"};
    Observed<Number> sidetonePan{this, "sidetonePan"};
    Observed<Number> phMonitor{this, "phMonitor"};
    Observed<Number> monitorPHGain{this, "monitorPHGain"};
    Observed<Number> monitorPHPan{this, "monitorPHPan"};

    // Audio outputs and receive.
    Observed<Number> masterSpeakerAfGain{this, "masterSpeakerAfGain"};
    Observed<Number> masterHeadsetAfGain{this, "masterHeadsetAfGain"};
    Observed<Number> masterSpeakerMute{this, "masterSpeakerMute"};
    Observed<Number> masterHeadsetMute{this, "masterHeadsetMute"};
    Observed<Number> frontSpeakerMute{this, "frontSpeakerMute"};
    Observed<Number> muteLocalAudioWhenRemote{this, "muteLocalAudioWhenRemote"};
    Observed<Number> binauralRx{this, "binauralRx"};
    Observed<Number> fullDuplexEnabled{this, "fullDuplexEnabled"};
    Observed<Number> remoteAudio{this, "remoteAudio"};

    // ATU and amplifier.
    Observed<Number> atuStatus{this, "atuStatus"};
    Observed<Number> atuEnabled{this, "atuEnabled"};
    Observed<Number> atuUsingMemories{this, "atuUsingMemories"};
    Observed<Number> atuMemoriesEnabled{this, "atuMemoriesEnabled"};
    Observed<Text> amplifierState{this, "amplifierState"};

    // Radio-wide settings.
    Observed<Number> tnfEnabled{this, "tnfEnabled"};
    Observed<Number> remoteOnEnabled{this, "remoteOnEnabled"};
    Observed<Number> bandPersistenceEnabled{this, "bandPersistenceEnabled"};
    Observed<Number> rttyMarkDefault{this, "rttyMarkDefault"};
    Observed<Number> enforcePrivateIpConnections{this, "enforcePrivateIpConnections"};
    Observed<Number> filterSharpnessVOICELevel{this, "filterSharpnessVOICELevel"};
    Observed<Number> filterSharpnessCWLevel{this, "filterSharpnessCWLevel"};
    Observed<Number> filterSharpnessDIGITALLevel{this, "filterSharpnessDIGITALLevel"};
    Observed<Number> autoLevel{this, "autoLevel"};
    Observed<Number> backlight{this, "backlight"};
    Observed<Text> staticNetParams{this, "staticNetParams"};
    Observed<Text> gateway{this, "gateway"};
    Observed<Text> netMask{this, "netMask"};
    Observed<Number> syncActiveSlice{this, "syncActiveSlice", 1};

    // DoroLink.
    Observed<Number> upnp_supported{this, "upnp_supported"};
    Observed<Number> server_connected{this, "server_connected"};
    Observed<Number> radio_authenticated{this, "radio_authenticated"};
    Observed<Number> wan_enabled{this, "wan_enabled"};
    Observed<Number> public_upnp_tls_port{this, "public_upnp_tls_port"};
    Observed<Number> public_upnp_udp_port{this, "public_upnp_udp_port"};
    Observed<Number> public_tls_port{this, "public_tls_port"};
    Observed<Number> public_udp_port{this, "public_udp_port"};

    // Profiles.
    Observed<Text> currentGlobalProfile{this, "currentGlobalProfile"};
    Observed<Text> currentTxProfile{this, "currentTxProfile"};
    Observed<Text> currentMicProfile{this, "currentMicProfile"};
    Observed<TextList> globalProfiles{this, "globalProfiles"};
    Observed<TextList> txProfiles{this, "txProfiles"};
    Observed<TextList> micProfiles{this, "micProfiles"};

protected:
    Observed<Text> clientHandle_{this, "clientHandle"};
};

}  // namespace vm
