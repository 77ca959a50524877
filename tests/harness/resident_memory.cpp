#include "harness/resident_memory.h"

#include <malloc.h>

#include <fstream>
#include <string>

namespace dornvel::testing {

namespace {

long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  long kib = 0;
  while (status >> name) {
    if (name == field + ":" && status >> kib) return kib;
    status.ignore(1 << 10, '\n');
  }
  return -1;
}

}  // namespace

long ResidentKiB() { return StatusKiB("VmRSS"); }
long PeakResidentKiB() { return StatusKiB("VmHWM"); }
long HeapInUseKiB() { return static_cast<long>(::mallinfo2().uordblks / 1024); }

}  // namespace dornvel::testing
