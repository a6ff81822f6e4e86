#pragma once
// A user memory made from a slice, and a memory applied back onto a slice. A recall sets the mode
// first, then the frequency; the radio needs a moment for the new mode before the rest (repeater,
// tone, filter, digital offsets) is applied, which the caller schedules half a second later.
#include "radio/MemorySlot.h"
#include "radio/RadioTypes.h"

#include <memory>

namespace vm {

class Slice;

// The memory of the slice's present settings: owner the radio's callsign, the band name of the
// frequency as name, step "100"; repeater, tone and squelch values only for FM (fixed simplex
// values otherwise); `rfPower` is the radio's RF power level. A value the slice does not have yet
// stays without text.
std::shared_ptr<MemorySlot> newUserMemory(const Slice& slice, const Text& callsign,
                                          const Number& rfPower);

// The first part of a recall: the slice's mode, then its frequency.
void applyMemoryModeAndFrequency(const MemorySlot& memory, Slice& slice);

// The delayed part of a recall, in the radio's order: repeater direction and offset, the transmit
// offset they give, tone frequency and mode, filter low then high edge, RTTY mark and shift, DIGL
// and DIGU offsets. The panadapter's band and the RF power are the caller's.
void applyMemoryRest(const MemorySlot& memory, Slice& slice);

// The memory's frequency in MHz (0 for a text that is no number).
double memoryMegahertz(const MemorySlot& memory);

}  // namespace vm
