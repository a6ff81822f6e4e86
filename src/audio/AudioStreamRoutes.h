#pragma once
// What the audio streams add to a session (AudioStreamRoutes.cpp): "stream", "opus_stream",
// "audio_stream", "tx_audio_stream", "mic_audio_stream" and "daxiq" lines, the DAX stream create
// replies, and the three audio stream tables of the stream router.
namespace vm {

class Radio;

void attachAudioStreams(Radio& radio);

}  // namespace vm
