#pragma once

#include <functional>

namespace QuxCtl {

// Runs work(0) .. work(count - 1), at most `jobs` at a time (0: all at once), and returns when
// every one has finished. Each runs in a thread of its own with its own event loop, so the
// synchronous transactions of one port (a local event loop per request) never wait for those
// of another: a silent sensor holds up nobody. The work items share nothing but what `work`
// hands them; whatever they write to a shared stream must be locked.
void runInParallel(int count, int jobs, const std::function<void(int)> &work);

} // namespace QuxCtl
