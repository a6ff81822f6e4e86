#pragma once
// The remote-audio engine, alive while the user has remote audio on: the radio's receive audio
// plays on an output device of this computer, and the local microphone goes to the radio.
//
// Receive: the engine adopts the radio's receive stream (a RemoteAudio of type "remote_audio_rx"
// on radios with the V3 interface, else the one OpusAudio), decodes its packets on the stream's
// queue into a RemoteAudioPlayback, which the output pulls on its render thread. Transmit: the
// microphone's slices go to a RemoteAudioTransmitter, which sends 240-frame Opus packets on the
// transmit stream (the "remote_audio_tx" RemoteAudio, or the OpusAudio).
//
// Threads: creation, the stream notifications, set-up and stopping on the main thread; frames on
// the streams' run queues (uncompressed audio is written on the engine's own queue); rendering
// and capture on the sound system's threads, which never wait on a lock held elsewhere.
#include "audio/AudioStreamHandlers.h"
#include "audio/RemoteAudioApplication.h"
#include "audio/RemoteAudioPlayback.h"
#include "audio/RemoteAudioTransmitter.h"
#include "audio/SoundFileTransmission.h"
#include "audio/VoiceFileApplication.h"
#include "audio/VoiceRecorder.h"
#include "localaudio/AudioOutput.h"
#include "localaudio/Microphone.h"
#include "platform/core/NotificationCenter.h"
#include "radio/RadioTypes.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm {

class VMRemoteAudioHandler : public MicrophoneDelegate,
                             public AudioOutputDelegate,
                             public RemoteAudioHandler,
                             public OpusStreamHandler,
                             public std::enable_shared_from_this<VMRemoteAudioHandler> {
public:
    // Made on the main thread when remote audio is turned on: asks a V3 radio for its two
    // streams, or adopts an older radio's Opus stream, and listens for the streams' arrival.
    static std::shared_ptr<VMRemoteAudioHandler> create(const std::shared_ptr<Radio>& radio,
                                                        std::weak_ptr<RemoteAudioApplication> app);
    ~VMRemoteAudioHandler() override;
    VMRemoteAudioHandler(const VMRemoteAudioHandler&) = delete;
    VMRemoteAudioHandler& operator=(const VMRemoteAudioHandler&) = delete;

    // Observers of "com.velmorasoftware.doro.opus_stream_created" and
    // "com.velmorasoftware.doro.remote_audio_stream_created".
    void opusStreamCreateNotification(const Notification& notification);
    void remoteAudioStreamCreateNotification(const Notification& notification);

    // A new output, decoder and ring for the receive format; the previous output stops first.
    void setupOutput(bool compressed);
    // A receive stream's frame (one byte per sample), on that stream's run queue.
    void streamReceive(const StreamFrame& frame) override;
    // Removes the V3 streams from the radio and stops playback.
    void stopAudioStream();
    void setOutputVolume(float volume);
    float outputVolume() const;

    // --- Transmit.
    // The microphone on the chosen input device, not yet capturing.
    void setupMicrophone();
    // Capture on (after 3 slices of pre-fill) or off (the held audio dropped).
    void micAudioOnOff(bool on);
    // The encoder path, for whatever else sends transmit audio (see RemoteAudioTransmitter).
    RemoteAudioTransmitter& transmitter() { return *transmitter_; }
    float micLevel() const { return transmitter_->micLevel(); }
    float micPeakLevel() const { return transmitter_->micPeakLevel(); }

    // --- Voice recording and sound files (VMRemoteAudioHandlerFiles.cpp), on the main thread.
    // Where the record button, meters, file list and open radio are.
    void setVoiceFileApplication(std::weak_ptr<VoiceFileApplication> app);
    // Records the microphone into `path`, as a WAVE file (see VoiceRecorder::recordingPath).
    void recordFile(const std::string& path);
    void stopRecording();
    // Refills the recorded-files pop-up from the sound-file folder.
    void loadSoundFiles();
    // Keys the radio and sends the file as transmit audio instead of the microphone; un-keys and
    // gives the microphone back 5 s after its last packet. A file that cannot be read is logged
    // and keys nothing; a second file replaces the first and keeps the radio keyed.
    void transmitFile(const std::string& path);
    // The 100 ms update of the recording meters and elapsed time.
    void recordingMetersTimer();
    VoiceRecorder& voiceRecorder() { return *voiceRecorder_; }
    const DispatchQueuePtr& fileTransmitQueue() const { return fileTransmitQueue_; }
    bool transmittingFile() const { return fileTransmission_ != nullptr; }

    // --- Sound system reports.
    void outputChangedDevice(AudioOutput& output, const AudioDevice& device) override;
    void microphoneChangedDevice(Microphone& microphone, const AudioDevice& device) override;
    void microphoneHasAudioStreamBasicDescription(Microphone& microphone,
                                                  AudioStreamBasicDescription format) override;
    void microphoneHasBufferList(Microphone& microphone, AudioBufferList* bufferList,
                                 std::uint32_t bufferSize, std::uint32_t numberOfChannels) override;

    // --- State.
    std::shared_ptr<AudioOutput> output() const;
    std::shared_ptr<Microphone> microphone() const;
    std::shared_ptr<RemoteAudioPlayback> playback() const;
    bool compressedRx() const;
    // Receive blocks dropped because the ring was full.
    std::uint64_t overRuns() const;
    std::shared_ptr<OpusAudio> opusStream() const;
    std::shared_ptr<RemoteAudio> remoteAudioRxStream() const;
    std::shared_ptr<RemoteAudio> remoteAudioTxStream() const;
    const Text& originalMicSource() const { return originalMicSource_; }
    const Number& originalRemoteAudio() const { return originalRemoteAudio_; }

    // --- Diagnostics (VMRemoteAudioHandlerDiagnostics.cpp), which nothing in the program calls.
    // Logs each device of the sound system with its output and input channels; a failed question
    // logs and ends the listing.
    static void updateAudioDeviceList();
    // The sound system here offers no way to change the system's default output device: logs the
    // refusal and answers kAudioHardwareUnsupportedOperationError.
    static OSStatus setDefaultAudioDevice(AudioDeviceID deviceId);
    // Logs the level, in dB, of every second float sample of the first buffer (the left channel
    // of interleaved stereo): 20 log10 of their mean magnitude, -300 when that is 0 or there are
    // none.
    static void checkInputLevel(const AudioBufferList* bufferList);

private:
    struct Private {};

public:
    VMRemoteAudioHandler(Private, const std::shared_ptr<Radio>& radio,
                         std::weak_ptr<RemoteAudioApplication> app);

private:
    void start();
    void observe(const char* name, void (VMRemoteAudioHandler::*handler)(const Notification&));
    // The transmit thread's way out: the V3 transmit stream, or the Opus stream. The transmitter's
    // send function holds this, never the engine, so the engine's last owner is never the
    // transmit thread (whose destructor would join that very thread and destroy the mutex it
    // holds).
    struct TransmitRoute {
        std::mutex mutex;
        bool v3 = false;
        std::weak_ptr<RemoteAudio> txStream;
        std::weak_ptr<OpusAudio> opusStream;
        void send(const Bytes& packet);
    };
    bool radioSupportsV3() const;
    // A transmitted file's way out: un-keys the radio that was keyed and, when asked, restarts
    // the microphone if it was capturing before.
    void endFileTransmit(bool restartMicrophone);
    // Teardown: no recording or transmission outlives the engine, and the radio is not left keyed.
    void stopFiles();

    const std::weak_ptr<Radio> radio_;
    const std::weak_ptr<RemoteAudioApplication> app_;
    Text originalMicSource_;
    Number originalRemoteAudio_;
    DispatchQueuePtr uncompressedAudioQueue_;
    std::vector<NotificationCenter::Token> observers_;
    const std::shared_ptr<TransmitRoute> route_ = std::make_shared<TransmitRoute>();
    std::unique_ptr<RemoteAudioTransmitter> transmitter_;

    mutable std::mutex mutex_;  // the pointers below; never taken on a sound system thread
    std::shared_ptr<AudioOutput> output_;
    std::shared_ptr<RemoteAudioPlayback> playback_;
    std::shared_ptr<Microphone> microphone_;
    std::weak_ptr<OpusAudio> opusStream_;
    std::weak_ptr<RemoteAudio> remoteAudioRxStream_;
    std::weak_ptr<RemoteAudio> remoteAudioTxStream_;

    // Recording and file transmit: main thread (the recorder and the transmission keep their own
    // threads).
    std::weak_ptr<VoiceFileApplication> files_;
    std::unique_ptr<VoiceRecorder> voiceRecorder_ = std::make_unique<VoiceRecorder>();
    std::string voiceFileName_;
    DispatchSourcePtr recordingMetersTimer_;
    DispatchQueuePtr fileTransmitQueue_ =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_file_transmit_queue");
    std::shared_ptr<SoundFileTransmission> fileTransmission_;
    std::weak_ptr<Radio> keyedRadio_;
    bool micWasFetching_ = false;
};

}  // namespace vm
