// TIME, HOUR, MINUTE and SECOND: called directly with their argument texts,
// and through the evaluator after binding them as the shell does.
#include "engine/expression_functions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "platform/eval/eval.h"
#include "platform/text/text.h"

namespace {

using Function = std::string (*)(std::span<const std::string>);

struct Case {
  const char* name;
  std::vector<std::string> args;
  const char* result;  // without the padding of HOUR, MINUTE and SECOND
};

Function function_named(const std::string& name) {
  if (name == "TIME") return engine::TIME;
  if (name == "HOUR") return engine::HOUR;
  if (name == "MINUTE") return engine::MINUTE;
  return engine::SECOND;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> all = {
      {"TIME", {"12", "30", "0"}, "4500001"},
      {"TIME", {"0", "0", "0"}, "1"},
      {"TIME", {"23", "59", "59"}, "8639901"},  // 59 and 23 are no carry
      {"TIME", {"10", "30", "90"}, "3789001"},  // 10:31:30
      {"TIME", {"2", "9", "60"}, "780001"},     // 02:10:00
      {"TIME", {"9", "60", "0"}, "3600001"},    // 10:00:00
      {"TIME", {"23", "59", "60"}, "1"},        // the carries reach 24 hours, which wrap
      {"TIME", {"25", "0", "0"}, "360001"},     // 01:00:00
      {"TIME", {"49", "0", "0"}, "360001"},     // days are dropped
      {"TIME", {"0", "0", "3600"}, "360001"},   // 60 minutes carried on into an hour
      {"TIME", {"0", "0", "7260"}, "726001"},   // 121 minutes: 2 hours and 1 minute
      {"TIME", {"", "", ""}, "1"},              // arguments left out count as 0
      {"TIME", {"12"}, "4320001"},              // fewer arguments than bound
      {"TIME", {"x", "y", "z"}, "1"},           // no number is 0
      {"TIME", {"0", "0", "59.6"}, "-1"},       // "@N02" writes 60 seconds
      {"HOUR", {"4500001"}, "12"},
      {"MINUTE", {"4500001"}, "30"},
      {"SECOND", {"4500001"}, "0"},
      {"SECOND", {"4502601"}, "26"},
      {"HOUR", {"1"}, "0"},  // midnight
      {"HOUR", {"8640000"}, "23"},
      {"MINUTE", {"8640000"}, "59"},
      {"SECOND", {"8640000"}, "59"},
      {"HOUR", {"4500001.9"}, "12"},
      {"SECOND", {"4500100.9"}, "0"},  // the fraction is cut, not rounded (4500101 is 12:30:01)
      {"SECOND", {"4500101"}, "1"},
      {"HOUR", {"  4500001"}, "12"},  // leading blanks before the number
      {"HOUR", {"0"}, "0"},
      {"HOUR", {"-5"}, "0"},
      {"HOUR", {"8640001"}, "0"},
      {"HOUR", {"noon"}, "0"},
      {"HOUR", {""}, "0"},
      {"HOUR", {}, "0"},
      {"MINUTE", {"0"}, "0"},
      {"MINUTE", {"-5"}, "0"},
      {"MINUTE", {"8640001"}, "0"},
      {"MINUTE", {"noon"}, "0"},
      {"SECOND", {"0"}, "0"},
      {"SECOND", {"-5"}, "0"},
      {"SECOND", {"8640001"}, "0"},
      {"SECOND", {"noon"}, "0"},
      {"HOUR", {"99999999999999"}, "0"},  // beyond a LONG
  };
  return all;
}

std::string expected(const Case& c) {
  // HOUR, MINUTE and SECOND pad their number to 20 characters; TIME has no blanks.
  return std::string(c.name) == "TIME" ? c.result : text::pad(c.result, 20);
}

class ExpressionFunctions : public ::testing::Test {
 protected:
  void SetUp() override { engine::reset(); }
  void TearDown() override {
    for (const char* name : {"TIME", "HOUR", "MINUTE", "SECOND"}) eval::unbind(name);
    engine::reset();
  }
};

TEST_F(ExpressionFunctions, CalledDirectly) {
  for (const Case& c : cases()) {
    std::string call = std::string(c.name) + "(";
    for (const std::string& a : c.args) call += "[" + a + "]";
    SCOPED_TRACE(call + ")");
    EXPECT_EQ(function_named(c.name)(c.args), expected(c));
  }
}

TEST_F(ExpressionFunctions, ThroughTheEvaluator) {
  eval::bind("TIME", engine::TIME, 3, eval::ResultType::String);
  eval::bind("HOUR", engine::HOUR, 1, eval::ResultType::String);
  eval::bind("MINUTE", engine::MINUTE, 1, eval::ResultType::String);
  eval::bind("SECOND", engine::SECOND, 1, eval::ResultType::String);
  for (const Case& c : cases()) {
    // Arguments as a WHERE text writes them: numbers bare, other texts quoted.
    std::string call = std::string(c.name) + "(";
    for (std::size_t i = 0; i < c.args.size(); ++i) {
      if (i > 0) call += ",";
      call += text::numeric(c.args[i]) ? c.args[i] : "'" + c.args[i] + "'";
    }
    call += ")";
    SCOPED_TRACE(call);
    EXPECT_EQ(eval::evaluate(call), expected(c));
    // Compared with a number, the padded result counts as its number.
    EXPECT_EQ(eval::evaluate(call + " = " + c.result), "1");
  }
  // As a WHERE text uses them once a time field's label is replaced by its value.
  EXPECT_EQ(eval::evaluate("4500001 = TIME(12, 30, 0)"), "1");
  EXPECT_EQ(eval::evaluate("HOUR(4500001) = 12 AND MINUTE(4500001) >= 30"), "1");
  EXPECT_EQ(eval::evaluate("HOUR(4500001) > 12"), "0");
  EXPECT_EQ(eval::evaluate("SECOND(TIME(1, 2, 3))"), text::pad("3", 20));
  EXPECT_EQ(eval::evaluate("TIME(12, 30, 0) + 100"), "4500101");
}

}  // namespace
