#pragma once
// The status tables of the radio-wide status types: one per type word, each a row per key (how
// the value is read, which of the radio's properties it feeds). The readers of "radio",
// "transmit", "interlock", "atu" and "wan" lines walk them (RadioStatus*.cpp); their key tables
// (statusRadioTokens and the others) are built from their rows.
#include "radio/StatusTable.h"

namespace vm {

class Radio;

const StatusTable<Radio>& radioStatusTable();
// The oscillator report inside a "radio" line: read through, kept nowhere.
const StatusTable<Radio>& oscillatorStatusTable();
const StatusTable<Radio>& transmitStatusTable();
const StatusTable<Radio>& interlockStatusTable();
const StatusTable<Radio>& atuStatusTable();
const StatusTable<Radio>& wanStatusTable();

}  // namespace vm
