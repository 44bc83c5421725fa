// Waiting in tests for what no event of ours announces: another thread's or process's state, a file,
// what a display server says. support.h's PumpUntil waits the same way while running Qt's events.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace testing_support {

// Looks until `done` holds; false when `milliseconds` passed first. It looks again at once, then less
// and less often, at most every `longestPoll`: a quick condition costs nothing and a slow one that
// starts a process at each look does not crowd the machine. The default limit is long because a
// sanitizer build on a busy machine is slow, and a wait that ends on its event costs nothing.
inline bool WaitUntil(const std::function<bool()>& done, int milliseconds = 60000,
                      std::chrono::microseconds longestPoll = std::chrono::milliseconds(20)) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::chrono::microseconds poll(100);
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(poll);
        poll = std::min(poll * 2, longestPoll);
    }
    return true;
}

}  // namespace testing_support
