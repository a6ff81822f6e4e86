#pragma once
// The three kinds of profile the radio keeps.

namespace vm {

enum class ProfileKind { global, transmit, mic };

}  // namespace vm
