#pragma once
// MD2 (RFC 1319), which the OpenSSL builds we use leave out.
#include "platform/core/Bytes.h"

namespace vm::crypto {

Bytes md2(const Bytes& data);

}  // namespace vm::crypto
