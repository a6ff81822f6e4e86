#pragma once
// The record tables of the radio's small records: one per status type whose lines fill a plain
// record (RecordTable.h). The session's key tables `clientTokens` and `statusXvtrTokens` are
// built from their rows.
#include "radio/RecordTable.h"

namespace vm {

class Client;
class Xvtr;
class TNF;
class USBCable;
struct MemorySlot;

const RecordTable<Client>& clientRecordTable();
const RecordTable<Xvtr>& xvtrRecordTable();
const RecordTable<TNF>& tnfRecordTable();
const RecordTable<USBCable>& usbCableRecordTable();
const RecordTable<MemorySlot>& memoryRecordTable();

}  // namespace vm
