#pragma once

#include <cstdint>

// The processor time of the whole process in ticks of 1/100 s, as a search paces its
// periodic checks by it. Reading the process clock is a real system call (it has no fast
// user-space path), as costly as examining a file; so the clock is read afresh only once the
// coarse monotonic clock (which is cheap) has moved on by a millisecond, far less than a tick.
// One instance per thread.
class TWProcessorClock {
public:
    std::uint64_t ticks();

private:
    std::int64_t lastReadNanoseconds_ = -1; // monotonic time of the last real read
    std::uint64_t lastTicks_ = 0;
};
