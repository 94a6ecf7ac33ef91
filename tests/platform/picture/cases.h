// Tables of picture cases: a value or text, a picture, the expected result.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/picture/date.h"
#include "platform/picture/picture.h"

namespace picture_cases {

struct Case {
  const char* input;
  const char* picture;
  const char* expected;
};

template <std::size_t N>
void check_format(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    EXPECT_EQ(picture::format(c.input, c.picture), c.expected) << "FORMAT(" << c.input << ", " << c.picture << ")";
  }
}

template <std::size_t N>
void check_deformat(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    EXPECT_EQ(picture::deformat(c.input, c.picture), c.expected)
        << "DEFORMAT(" << c.input << ", " << c.picture << ")";
  }
}

// Today is 5 March 2024 (81517), the clock 14:07:09 (5082901), and the locale
// pictures follow the C locale: results that hold on every machine.
class FixedClockTest : public ::testing::Test {
 public:
  static constexpr std::int32_t kToday = 81517;
  static constexpr std::int32_t kClock = 5082901;

 protected:
  void SetUp() override {
    picture::fix_clock(kToday, kClock);
    picture::use_locale("C");
  }
  void TearDown() override { picture::release_clock(); }
};

}  // namespace picture_cases
