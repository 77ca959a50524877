#pragma once

#include <functional>

namespace dornvel::bench {

// CPU time (user + system) in seconds of the child processes reaped while
// `reap` runs: the kernel adds a child's times to RUSAGE_CHILDREN when the
// child is waited for, so the difference is what those children used, from
// exec to exit.
double ChildCpuSecondsWhile(const std::function<void()>& reap);

}  // namespace dornvel::bench
