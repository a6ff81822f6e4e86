#pragma once
// A byte string: datagrams, socket reads and writes, socket addresses. Any byte value may occur;
// std::string is used for its small-buffer storage and cheap appends, not as text.
#include <string>

namespace vm {

using Bytes = std::string;

}  // namespace vm
