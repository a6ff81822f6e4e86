#pragma once
// asio timer type on the dispatch clock. Internal to platform/core.
#include "platform/core/DispatchClock.h"

#include <asio/basic_waitable_timer.hpp>

namespace vm::detail {

using DispatchTimerType = asio::basic_waitable_timer<DispatchClock>;

}  // namespace vm::detail
