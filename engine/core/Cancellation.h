#pragma once

#include <atomic>

namespace zev {

// A request to stop a running conversion. The front end asks on the main
// thread; the driver, the batch operations and the tool runner look at it on
// their own threads, so it is one atomic flag and nothing more.
class Cancellation {
public:
    void request() { requested_.store(true); }
    bool isRequested() const { return requested_.load(); }

private:
    std::atomic<bool> requested_{false};
};

} // namespace zev
