#include "app/cwx/SideTone.h"

#include "app/cwx/MorseTable.h"
#include "platform/audio/AudioBackend.h"

#include <cmath>
#include <numbers>
#include <thread>

namespace vm {

SideTone::SideTone() = default;

SideTone::~SideTone() { close(); }

bool SideTone::open(AudioDeviceID device) {
    if (stream_) {
        return true;
    }
    const auto backend = AudioBackend::sharedIfStarted();
    if (!backend) {
        return false;
    }
    if (device == kAudioObjectUnknown) {
        device = backend->defaultDevice(AudioDirection::Output);
    }
    if (device == kAudioObjectUnknown) {
        return false;
    }
    double rate = kPreferredSampleRate;
    if (!backend->supportsFormat(device, AudioDirection::Output, rate, 1)) {
        AudioDeviceRecord record;
        if (backend->deviceRecord(device, &record) != 0 || record.sampleRate <= 0) {
            return false;
        }
        rate = record.sampleRate;
    }
    sampleRate_.store(rate);
    tail_.store(head_.load());
    AudioStreamRequest request;
    request.device = device;
    request.direction = AudioDirection::Output;
    request.sampleRate = rate;
    request.channels = 1;
    OSStatus status = 0;
    auto stream = backend->openStream(
        request,
        [this](float* const* channels, std::uint32_t frames, const AudioTimeStamp&) {
            render(channels[0], frames);
        },
        &status);
    if (!stream || stream->start() != 0) {
        return false;
    }
    stream_ = std::move(stream);
    device_ = device;
    open_.store(true);
    return true;
}

void SideTone::close() {
    if (!stream_) {
        return;
    }
    open_.store(false);
    stream_->stop();
    stream_.reset();
    device_ = kAudioObjectUnknown;
    cancels_.fetch_add(1);
    tail_.store(head_.load());
    current_ = {};
    charactersStarted_.store(charactersQueued_.load());
}

std::uint32_t SideTone::samplesFor(double dits) const {
    return std::uint32_t(std::lround(dits * ditMs_.load() * sampleRate_.load() / 1000.0));
}

bool SideTone::queueCharacter(char c) {
    const MorseCode code = morseCode(c);
    const auto cancels = cancels_.load();
    charactersQueued_.fetch_add(1);
    for (int i = 0; i < code.length; ++i) {
        if (!push({samplesFor(code.isDah(i) ? 3 : 1), true, i == 0}) ||
            !push({samplesFor(1), false, false})) {
            return false;
        }
        if (cancels_.load() != cancels) {
            return false;
        }
    }
    // The element gap is already one dit: two more end the character, four more end a word.
    const double gap = code.length == 0 && c != ' ' ? 3 : (c == ' ' ? 4 : 2);
    return push({samplesFor(gap), false, code.length == 0}) && cancels_.load() == cancels;
}

bool SideTone::push(Run run) {
    const auto cancels = cancels_.load();
    while (head_.load() - tail_.load() >= kRingSize) {
        if (!open_.load() || cancels_.load() != cancels) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto head = head_.load();
    ring_[head % kRingSize] = run;
    head_.store(head + 1);
    return true;
}

void SideTone::cancel() {
    cancels_.fetch_add(1);
    flush_.store(true);
}

void SideTone::render(float* out, std::uint32_t frames) {
    if (flush_.exchange(false)) {
        tail_.store(head_.load());
        current_ = {};
        charactersStarted_.store(charactersQueued_.load());
    }
    const double step = 2 * std::numbers::pi * frequency_.load() / sampleRate_.load();
    const float gain = float(kAmplitude) * volume_.load();
    std::uint32_t done = 0;
    while (done < frames) {
        if (current_.samples == 0) {
            const auto tail = tail_.load();
            if (tail == head_.load()) {
                break;
            }
            current_ = ring_[tail % kRingSize];
            tail_.store(tail + 1);
            if (current_.startsCharacter) {
                charactersStarted_.fetch_add(1);
            }
            continue;
        }
        const std::uint32_t n = std::min(current_.samples, frames - done);
        for (std::uint32_t i = 0; i < n; ++i) {
            if (current_.keyDown) {
                out[done + i] = float(std::sin(theta_)) * gain;
                theta_ += step;
                if (theta_ > 2 * std::numbers::pi) {
                    theta_ -= 2 * std::numbers::pi;
                }
            } else {
                out[done + i] = 0.0f;
            }
        }
        current_.samples -= n;
        done += n;
    }
    for (; done < frames; ++done) {
        out[done] = 0.0f;
    }
}

}  // namespace vm
