#include "localaudio/AudioPlotBase.h"

#include <algorithm>

namespace vm {

AudioPlotBase::AudioPlotBase(QWidget* parent) : QWidget(parent) { resetHistoryBuffers(); }

AudioPlotBase::~AudioPlotBase() { AudioUtilities::freeHistoryInfo(historyInfo_); }

void AudioPlotBase::updateBuffer(const float*, std::uint32_t) {}

void AudioPlotBase::resetHistoryBuffers() {
    AudioUtilities::freeHistoryInfo(historyInfo_);
    historyInfo_ = AudioUtilities::historyInfoWithDefaultLength(kDefaultRollingHistoryLength,
                                                                kMaximumRollingHistoryLength);
}

std::pair<const float*, std::uint32_t> AudioPlotBase::appendToHistory(const float* buffer,
                                                                      std::uint32_t bufferSize) {
    if (!historyInfo_) {
        return {buffer, bufferSize};
    }
    AudioUtilities::appendBufferRMS(buffer, bufferSize, historyInfo_);
    if (plotType_ == AudioPlotType::Rolling) {
        return {historyInfo_->buffer, std::uint32_t(historyInfo_->bufferSize)};
    }
    return {buffer, bufferSize};
}

int AudioPlotBase::rollingHistoryLength() const {
    std::lock_guard lock(dataMutex_);
    return historyInfo_ ? historyInfo_->bufferSize : 0;
}

int AudioPlotBase::setRollingHistoryLength(int length) {
    std::lock_guard lock(dataMutex_);
    if (!historyInfo_) {
        return 0;
    }
    historyInfo_->bufferSize = std::clamp(length, 0, kMaximumRollingHistoryLength);
    return historyInfo_->bufferSize;
}

}  // namespace vm
