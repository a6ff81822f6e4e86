#pragma once
// The common ways a status value is read (the readers of StatusTable rows). Each reads from the
// cursor of the line and returns the value in the kind of the property it feeds. A "word" is every
// character up to the next blank or line feed (possibly none: the empty text).
#include "radio/StatusTable.h"

namespace vm::status {

// The word as text.
Text word(StatusLine& line);
// Up to the next blank only: a line feed belongs to the value.
Text wordToBlank(StatusLine& line);
// The word's leading decimal integer, 0 when it does not begin with one; it becomes the line's
// last integer. A word that is not a number never spills into the next key.
Number wordInteger(StatusLine& line);
// The same integer as a flag: 0 for 0, 1 for any other value.
Number wordBoolean(StatusLine& line);
// 1 when the word reads as true (textBoolValue), else 0.
Number wordTruth(StatusLine& line);
// The same integer as a true flag: false for 0, true for any other value.
Flag wordFlag(StatusLine& line);
// The word's truth (textBoolValue) as a true flag.
Flag wordTruthFlag(StatusLine& line);
// The word's leading decimal integer in 64 bits (saturated), 0 when it does not begin with one.
Integer wordLong(StatusLine& line);
// A decimal number as a float: the word's leading number, 0 when it does not begin with one.
Float wordDecimal(StatusLine& line);
// A stream id in its one written form "0x%08X", whatever form the radio wrote it in ("40000000",
// "0x4000000a"); the empty word stays empty.
Text streamIdWord(StatusLine& line);
// The word split at every ","; the empty word gives a list of one empty text.
List list(StatusLine& line);
// True exactly for the words "enabled" and "1".
Flag enabled(StatusLine& line);

// Read in place: a sign and digits (a float's digits) at the cursor; 0 (false) when there are
// none. What follows the number stays at the cursor and starts the next key.
Integer integer(StatusLine& line);
Flag boolean(StatusLine& line);  // true when the integer is not 0
Float decimal(StatusLine& line);

}  // namespace vm::status
