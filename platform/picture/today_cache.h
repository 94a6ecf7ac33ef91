// TODAY() without the C library's local-time conversion on every call: the
// export asks for it once per LONG value. The date is kept with the bounds of
// its local day and read again only when the time leaves them, forward past
// midnight or backward when the machine's clock is set back.
// Internal to platform/picture (its own header so that tests can drive it
// with chosen times).
#pragma once

#include <cstdint>
#include <ctime>

namespace picture::detail {

class TodayCache {
 public:
  // The standard date of the local day that holds `now`.
  std::int32_t at(std::time_t now) {
    if (now < day_start_ || now >= day_end_) refill(now);
    return date_;
  }

 private:
  void refill(std::time_t now);

  std::time_t day_start_ = 1;
  std::time_t day_end_ = 0;  // empty until the first call
  std::int32_t date_ = 0;
};

}  // namespace picture::detail
