#pragma once
// One FFT packet of a panadapter, as the panadapter hands it to its view (PanafallData). A frame of
// the radio's spectrum may come in several packets: each carries its own run of bins and where that
// run starts in the whole frame, so the view places the bins of packet after packet at their
// `startBinIndex` into its own array and has the whole frame once the runs cover
// `totalBinsInFrame` (or `numBins` when the total is 0). Bin i belongs to pixel column i; its value
// is a vertical pixel position counted down from the top of the display (the radio renders the
// spectrum to the size the panadapter asked for).
#include <cstdint>

namespace vm {

struct PanafallFFTFrame {
    // The largest run of bins one packet may carry (the size of the view's bin array).
    static constexpr std::uint32_t kMaxBins = 16384;

    std::uint32_t startBinIndex = 0;     // index of this packet's first bin in the whole frame
    std::uint32_t numBins = 0;           // bins in this packet: 1 to kMaxBins
    std::uint32_t totalBinsInFrame = 0;  // bins of the whole frame; 0 when the radio does not say
                                         // (firmware before 3.3)
    std::uint32_t binSize = 0;           // bytes per bin as the packet states it
    std::uint32_t frameIndex = 0;        // left 0: the panadapter keeps the frame counter
    // `numBins` values in host byte order.
    const std::uint16_t* bins = nullptr;
};

class PanafallFrameBatch;

// The panadapter's view. Called on the panadapter's serial queue, in arrival order. The frame and
// its bins live for the call: a view copies the bins it keeps.
class PanafallData {
public:
    virtual ~PanafallData() = default;
    virtual void fftFrame(const PanafallFFTFrame& frame) = 0;
    // The frames that waited for the queue together, handed over in one call. By default each
    // goes to fftFrame(); a view that can take a batch at once overrides this.
    virtual void fftFrames(const PanafallFrameBatch& batch);

protected:
    PanafallData() = default;
};

}  // namespace vm
