#include "localaudio/AudioDisplayLink.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace vm {

AudioDisplayLink::AudioDisplayLink(AudioDisplayLinkDelegate* delegate) : delegate_(delegate) {
    double rate = 60.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen();
        screen && screen->refreshRate() > 1) {
        rate = screen->refreshRate();
    }
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(int(std::lround(1000.0 / rate)));
    QObject::connect(&timer_, &QTimer::timeout, [this] { update(); });
}

AudioDisplayLink::~AudioDisplayLink() { stop(); }

std::unique_ptr<AudioDisplayLink> AudioDisplayLink::displayLinkWithDelegate(
    AudioDisplayLinkDelegate* delegate) {
    return std::make_unique<AudioDisplayLink>(delegate);
}

void AudioDisplayLink::start() {
    timer_.start();
    stopped_ = false;
}

void AudioDisplayLink::stop() {
    timer_.stop();
    stopped_ = true;
}

void AudioDisplayLink::update() {
    if (!stopped_ && delegate_) {
        delegate_->displayLinkNeedsDisplay(*this);
    }
}

}  // namespace vm
