// The process's resident memory as the kernel counts it, for the benchmarks
// that print a peak. Figures come from /proc/self/status, in KiB; 0 where it
// is missing.
#pragma once

namespace bench {

// Resident now (VmRSS).
long resident_kib();
// The peak so far (VmHWM).
long peak_resident_kib();
// Lowers the peak to the present resident size, so that the next peak is the
// measured work's own; false where the kernel does not allow it.
bool reset_peak_resident();

}  // namespace bench
