#include "child_cpu.h"

#include <sys/resource.h>

namespace dornvel::bench {

namespace {

double ChildrenCpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

double ChildCpuSecondsWhile(const std::function<void()>& reap) {
  const double before = ChildrenCpuSeconds();
  reap();
  return ChildrenCpuSeconds() - before;
}

}  // namespace dornvel::bench
