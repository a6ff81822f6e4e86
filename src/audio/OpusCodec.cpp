#include "audio/OpusCodec.h"

namespace vm {

OpusCodec::OpusCodec(int sampleRate, int numberOfChannels)
    : sampleRate_(sampleRate),
      numberOfChannels_(numberOfChannels),
      processingQueue_(DispatchQueue::serial("OpusCodec Processing Queue")) {}

}  // namespace vm
