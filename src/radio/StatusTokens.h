#pragma once
// The word tables of the radio's status lines that are not key tables: the object types that
// open every status line, and the words of the ATU and interlock values. (The key tables are built
// from the rows of the status tables, StatusTable.h.) Each is built once, on first use, and shared
// by every session; none changes afterwards.
#include "radio/TokenTable.h"

namespace vm {

// Object types of status lines, 1 to 28 (the dispatch routes by these numbers).
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

// The type words with their StatusType numbers.
const TokenTable& statusTypeTokens();
// The ATU's state words ("TUNE_SUCCESSFUL" is 4), the interlock's states ("READY" is 2) and the
// reasons it gives for not transmitting.
const TokenTable& atuStatusTokens();
const TokenTable& interlockStateTokens();
const TokenTable& interlockReasonTokens();

}  // namespace vm
