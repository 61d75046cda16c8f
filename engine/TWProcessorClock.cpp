#include "engine/TWProcessorClock.h"

#include <ctime>

namespace {

std::int64_t nanosecondsOf(clockid_t clock) {
    timespec now;
    ::clock_gettime(clock, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

std::uint64_t TWProcessorClock::ticks() {
    std::int64_t monotonic = nanosecondsOf(CLOCK_MONOTONIC_COARSE);
    if (lastReadNanoseconds_ >= 0 && monotonic - lastReadNanoseconds_ < 1'000'000)
        return lastTicks_;
    lastReadNanoseconds_ = monotonic;
    lastTicks_ = static_cast<std::uint64_t>(nanosecondsOf(CLOCK_PROCESS_CPUTIME_ID) / 10'000'000);
    return lastTicks_;
}
