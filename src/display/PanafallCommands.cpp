// The panadapter's command setters: each stores and announces its property on the calling thread,
// then sends the matching command from the pan's queue. No reply is awaited; the radio's next
// status line for the pan confirms or corrects the value.
#include "display/Panafall.h"

#include "radio/CommandValues.h"

#include <fmt/format.h>

#include <utility>

namespace vm {

namespace {

int flag(bool on) { return on ? 1 : 0; }

// Reals go out with six decimals, as the radio reads them ("14.100000").
std::string real(float value) { return fmt::format("{:f}", static_cast<double>(value)); }

}  // namespace

std::string Panafall::panafallSet(const std::string& pairs) const {
    return fmt::format("display panafall set {} {}", streamId(), pairs);
}

template <class T>
void Panafall::setAndSend(Observed<T>& property, T value, std::string command) {
    property.set(std::move(value));
    queueObjectCommand(runQueue(), weak_from_this(), radio_, std::move(command));
}

void Panafall::setPanDimensions(PanSize size) {
    userSetSize.set(size);
    setAndSend(panDimensions, size,
               panafallSet(fmt::format("xpixels={} ypixels={}", commandPixels(size.width),
                                       commandPixels(size.height))));
}

void Panafall::setCenter(float megahertz) {
    setAndSend(
        center, Float(megahertz),
        panafallSet(fmt::format("center={} autocenter={}", real(megahertz), flag(autoCenter()))));
}

void Panafall::setBandwidth(float megahertz) {
    std::string command =
        panafallSet(fmt::format("bandwidth={} autocenter={}", real(megahertz), flag(autoCenter())));
    autoCenter.set(false);
    setAndSend(bandwidth, Float(megahertz), std::move(command));
}

void Panafall::setMinDbm(float dbm) {
    setAndSend(minDbm, Float(dbm), panafallSet("min_dbm=" + real(dbm)));
}
void Panafall::setMaxDbm(float dbm) {
    setAndSend(maxDbm, Float(dbm), panafallSet("max_dbm=" + real(dbm)));
}
void Panafall::setFps(int value) {
    setAndSend(fps, Number(value), panafallSet(fmt::format("fps={}", value)));
}
void Panafall::setAverage(int value) {
    setAndSend(average, Number(value), panafallSet(fmt::format("average={}", value)));
}
void Panafall::setWeightedAverage(bool on) {
    setAndSend(weightedAverage, Flag(on),
               panafallSet(fmt::format("weighted_average={}", flag(on))));
}
void Panafall::setLoopA(bool on) {
    setAndSend(loopA, Flag(on), panafallSet(fmt::format("loopa={}", flag(on))));
}
void Panafall::setLoopB(bool on) {
    setAndSend(loopB, Flag(on), panafallSet(fmt::format("loopb={}", flag(on))));
}
// The radio takes the gain as a real: 10 goes out as rfgain=10.000000.
void Panafall::setRfGain(int gain) {
    setAndSend(rfGain, Number(gain),
               panafallSet("rfgain=" + fmt::format("{:f}", static_cast<double>(gain))));
}
void Panafall::setBand(const std::string& value) {
    setAndSend(band, Text(value),
               fmt::format("display pan set {} band={}", streamId(), commandField(value)));
}
void Panafall::setRxAnt(const std::string& antenna) {
    setAndSend(rxAnt, Text(antenna),
               fmt::format("display pan set {} rxant={}", streamId(), commandField(antenna)));
}
void Panafall::setNb(bool on) {
    setAndSend(nb, Flag(on), panafallSet(fmt::format("nb={}", flag(on))));
}
void Panafall::setNbLevel(int level) {
    setAndSend(nbLevel, Number(level), panafallSet(fmt::format("nb_level={}", level)));
}
void Panafall::setWnb(bool on) {
    setAndSend(wnb, Flag(on), panafallSet(fmt::format("wnb={}", flag(on))));
}
void Panafall::setWnbLevel(int level) {
    setAndSend(wnbLevel, Number(level), panafallSet(fmt::format("wnb_level={}", level)));
}
void Panafall::setDaxIQ(int channel) {
    setAndSend(daxIQ, Number(channel), panafallSet(fmt::format("daxiq={}", channel)));
}
// The command's key has no underscore (the status key has one); the rate goes out in 32 bits.
void Panafall::setDaxIQRate(std::int64_t rate) {
    setAndSend(daxIQRate, Integer(rate),
               panafallSet(fmt::format("daxiqrate={}", static_cast<std::int32_t>(rate))));
}

}  // namespace vm
