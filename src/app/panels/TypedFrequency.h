#pragma once
// A frequency the operator typed into a slice's frequency field (the main window's field of the
// active slice, or a slice panel's), tuned as the radio takes it.
namespace vm {

class Slice;
class TextField;

// Tunes the slice to the field's value in MHz, written with five decimals (10 Hz). A locked
// slice is not retuned, and a value of 0 or less tunes nothing: either way the field shows the
// slice's frequency again, so it never keeps a value the radio was not sent.
void tuneToTypedFrequency(Slice& slice, TextField& field);

}  // namespace vm
