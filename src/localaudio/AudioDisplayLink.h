#pragma once
// Paces the redraws of a plot at the screen's refresh rate: while running, it asks its delegate
// to display once per refresh, on the GUI thread.
#include <QTimer>

#include <memory>

namespace vm {

class AudioDisplayLink;

class AudioDisplayLinkDelegate {
public:
    virtual ~AudioDisplayLinkDelegate() = default;
    virtual void displayLinkNeedsDisplay(AudioDisplayLink& link) = 0;
};

class AudioDisplayLink {
public:
    // A stopped link; the delegate (which owns the link, so outlives it) may be null.
    explicit AudioDisplayLink(AudioDisplayLinkDelegate* delegate);
    ~AudioDisplayLink();
    AudioDisplayLink(const AudioDisplayLink&) = delete;
    AudioDisplayLink& operator=(const AudioDisplayLink&) = delete;

    static std::unique_ptr<AudioDisplayLink> displayLinkWithDelegate(
        AudioDisplayLinkDelegate* delegate);

    AudioDisplayLinkDelegate* delegate() const { return delegate_; }
    void setDelegate(AudioDisplayLinkDelegate* delegate) { delegate_ = delegate; }

    void start();
    void stop();
    bool stopped() const { return stopped_; }
    // One refresh: the delegate is asked to display unless the link is stopped.
    void update();
    // Time between refreshes, from the primary screen's refresh rate.
    int intervalMilliseconds() const { return timer_.interval(); }

private:
    AudioDisplayLinkDelegate* delegate_;
    bool stopped_ = true;
    QTimer timer_;
};

}  // namespace vm
