// The clock the waits of either end of the cable are measured on.
#pragma once

#include <chrono>
#include <functional>

namespace pw {

// Empty: the steady clock, as in the product. A test may give a clock that stands still while the
// other end of the cable is not running, so that a busy machine does not read as a silent peer.
using LinkClock = std::function<std::chrono::steady_clock::time_point()>;

inline std::chrono::steady_clock::time_point LinkNow(const LinkClock& clock) {
    return clock ? clock() : std::chrono::steady_clock::now();
}

} // namespace pw
