#include "bench/support/peak_memory.h"

#include <cstring>
#include <fstream>
#include <string>

namespace bench {

namespace {

long status_kib(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(key);
  while (std::getline(in, line))
    if (line.compare(0, n, key) == 0) return std::stol(line.substr(n));
  return 0;
}

}  // namespace

long resident_kib() { return status_kib("VmRSS:"); }
long peak_resident_kib() { return status_kib("VmHWM:"); }

bool reset_peak_resident() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace bench
