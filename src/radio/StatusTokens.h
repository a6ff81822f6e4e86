#pragma once
// The word tables of the radio's status lines. Each is built once, on first use, and shared by
// every session; none changes afterwards.
#include "radio/TokenTable.h"

namespace vm {

// Object types of status lines, 1 to 28 (the dispatch switches on these numbers).
enum StatusType : int {
    kStatusInterlock = 1,
    kStatusRadio,
    kStatusAtu,
    kStatusTransmit,
    kStatusTransmitMisspelt,
    kStatusSlice,
    kStatusMixer,
    kStatusDisplay,
    kStatusMeter,
    kStatusEq,
    kStatusGps,
    kStatusProfile,
    kStatusCwx,
    kStatusWaveform,
    kStatusAudioStream,
    kStatusOpusStream,
    kStatusClient,
    kStatusXvtr,
    kStatusWan,
    kStatusTxAudioStream,
    kStatusMicAudioStream,
    kStatusDaxIQ,
    kStatusTnf,
    kStatusSpot,
    kStatusStream,
    kStatusAmplifier,
    kStatusUsbCable,
    kStatusMemory,
    kStatusTypeCount = kStatusMemory,
};

const TokenTable& initStatusTokens();
const TokenTable& initStatusRadioTokens();
const TokenTable& initStatusAtuTokens();
const TokenTable& initStatusAtuStatusTokens();
const TokenTable& initStatusTransmitTokens();
const TokenTable& initStatusInterlockTokens();
const TokenTable& initStatusInterlockStateTokens();
const TokenTable& initStatusInterlockReasonTokens();
const TokenTable& initXvtrTokens();
const TokenTable& initStatusWanTokens();
const TokenTable& initClientTokens();

}  // namespace vm
