// BIND and UNBIND: how a bound function receives its arguments, how its result
// is taken, and the error state around bindings.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/eval/eval.h"
#include "platform/files/errors.h"

namespace {

class Bind : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const char* name : {"TIME", "HOUR", "F", "LEN", "COUNTER", "SELF", "INNER", "BOOM", "WIDE"}) {
      eval::unbind(name);
    }
  }

  // Records every call's arguments and answers with a fixed text.
  eval::Function recorder(std::string answer) {
    return [this, answer](std::span<const std::string> args) {
      calls.emplace_back(args.begin(), args.end());
      return answer;
    };
  }

  std::vector<std::vector<std::string>> calls;
};

// A standard time from hours, minutes and seconds, as the WHERE functions
// build it: the numbers the texts hold, missing ones as 0.
std::string test_time(std::span<const std::string> args) {
  long h = std::atol(args[0].c_str()), m = std::atol(args[1].c_str()), s = std::atol(args[2].c_str());
  return std::to_string(h * 360000 + m * 6000 + s * 100 + 1);
}

TEST_F(Bind, ArgumentsArriveAsTextsInTheExpressionsOrder) {
  eval::bind("TIME", recorder("1"), 3, eval::ResultType::String);
  struct {
    const char* expression;
    std::vector<std::string> args;
  } cases[] = {
      {"TIME(12, 30, 0)", {"12", "30", "0"}},
      {"TIME(6*2, 'a' & 'b', 1.50)", {"12", "ab", "1.5"}},
      {"TIME(12)", {"12", "", ""}},
      {"TIME(, 30)", {"", "30", ""}},
      {"TIME(,,)", {"", "", ""}},
      {"TIME()", {"", "", ""}},
      {"TIME", {"", "", ""}},
      {"time(1,2,3)", {"1", "2", "3"}},
      {"TIME('it''s', 100000/3, -0.5)", {"it's", "33333.3333333333333333333333333333333", "-0.5"}},
  };
  for (const auto& c : cases) {
    calls.clear();
    EXPECT_EQ(eval::evaluate(c.expression), "1") << c.expression;
    ASSERT_EQ(calls.size(), 1u) << c.expression;
    EXPECT_EQ(calls[0], c.args) << c.expression;
  }
}

TEST_F(Bind, TheWhereTimeFunctionsCompareWithStoredTimes) {
  eval::bind("TIME", test_time, 3, eval::ResultType::String);
  eval::bind("HOUR", [](std::span<const std::string> a) {
    std::string r = std::to_string((std::atol(a[0].c_str()) - 1) / 360000);
    return r + std::string(20 - r.size(), ' ');  // padded to 20, as the engine's HOUR answers
  }, 1, eval::ResultType::String);
  struct {
    const char* expression;
    const char* expected;
  } cases[] = {
      {"TIME(12,30,0)", "4500001"},
      {"4500001 > TIME(12,30,0)", "0"},
      {"4500002 > TIME(12,30,0)", "1"},
      {"4500001 = TIME(12,30,0)", "1"},
      {"HOUR(4500001) = 12", "1"},
      {"HOUR(4500001)", "12                  "},
      {"HOUR(4500001) & 'h'", "12                  h"},
      {"HOUR(TIME(9,0,0)) < 10 AND 4500001 > TIME(12,0,0)", "1"},
  };
  for (const auto& c : cases) EXPECT_EQ(eval::evaluate(c.expression), c.expected) << c.expression;
}

TEST_F(Bind, ResultTypeSaysHowTheReturnedTextIsTaken) {
  struct {
    eval::ResultType type;
    const char* answer;
    const char* expression;
    const char* expected;
  } cases[] = {
      {eval::ResultType::String, "abc", "F()", "abc"},
      {eval::ResultType::String, "0", "F() AND 1", "1"},  // a non-blank text is true
      {eval::ResultType::String, "10", "F() < 9", "0"},   // compared as a number
      {eval::ResultType::String, "10", "F() < '9'", "1"}, // compared as a text
      {eval::ResultType::Long, "  42.9xyz", "F()", "42"},
      {eval::ResultType::Long, "0", "F() AND 1", "0"},
      {eval::ResultType::Long, "-7", "F() + 1", "-6"},
      {eval::ResultType::Long, "x", "F()", "0"},
      {eval::ResultType::Real, "2.5", "F() * 2", "5"},
      {eval::ResultType::Real, "0.1", "F() + 0.2", "0.3"},
  };
  for (const auto& c : cases) {
    eval::bind("F", recorder(c.answer), 0, c.type);
    EXPECT_EQ(eval::evaluate(c.expression), c.expected) << c.expression << " / " << c.answer;
  }
}

TEST_F(Bind, CallErrors) {
  eval::bind("F", recorder("x"), 1, eval::ResultType::String);
  eval::bind("BOOM", [](std::span<const std::string>) -> std::string { throw std::runtime_error("boom"); },
             0, eval::ResultType::String);
  struct {
    const char* expression;
    int code;
  } cases[] = {
      {"F(1, 2)", files::kIllegalExpression},
      {"F(1", files::kIllegalExpression},
      {"F(1/0)", files::kIllegalExpression},
      {"F(NOSUCH)", files::kUnknownName},
      {"BOOM()", files::kIllegalExpression},
      {"1 OR BOOM()", 0},  // never called
  };
  for (const auto& c : cases) {
    eval::evaluate(c.expression);
    EXPECT_EQ(files::error_code(), c.code) << c.expression;
  }
}

TEST_F(Bind, SkippedSidesDoNotCallTheFunction) {
  eval::bind("COUNTER", recorder("1"), 0, eval::ResultType::Long);
  EXPECT_EQ(eval::evaluate("0 AND COUNTER()"), "0");
  EXPECT_EQ(eval::evaluate("1 OR COUNTER()"), "1");
  EXPECT_EQ(eval::evaluate("CHOOSE(1, 'a', COUNTER())"), "a");
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(eval::evaluate("1 AND COUNTER()"), "1");
  EXPECT_EQ(eval::evaluate("CHOOSE(7, 'a', COUNTER())"), "1");
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(Bind, UnbindAndRebind) {
  eval::bind("F", recorder("one"), 0, eval::ResultType::String);
  EXPECT_EQ(files::error_code(), 0);
  EXPECT_EQ(eval::evaluate("f()"), "one");
  eval::bind("f", recorder("two"), 0, eval::ResultType::String);  // the same name in another case
  EXPECT_EQ(eval::evaluate("F()"), "two");
  eval::unbind("F");
  EXPECT_EQ(files::error_code(), 0);
  EXPECT_EQ(eval::evaluate("F()"), "");
  EXPECT_EQ(files::error_code(), files::kUnknownName);

  files::clear_error();
  eval::unbind("NEVERBOUND");
  EXPECT_EQ(files::error_code(), files::kUnknownName);
}

TEST_F(Bind, ABoundNameHidesTheBuiltInOne) {
  eval::bind("LEN", recorder("bound"), 1, eval::ResultType::String);
  EXPECT_EQ(eval::evaluate("LEN('abc')"), "bound");
  eval::unbind("LEN");
  EXPECT_EQ(eval::evaluate("LEN('abc')"), "3");
}

TEST_F(Bind, FunctionsMayEvaluateAndUnbindWhileCalled) {
  eval::bind("INNER", [](std::span<const std::string> a) { return eval::evaluate(a[0] + " + 1"); }, 1,
             eval::ResultType::Long);
  EXPECT_EQ(eval::evaluate("INNER(INNER(1)) * 10"), "30");

  eval::bind("SELF", [](std::span<const std::string>) {
    eval::unbind("SELF");
    return std::string("gone");
  }, 0, eval::ResultType::String);
  EXPECT_EQ(eval::evaluate("SELF()"), "gone");
  EXPECT_EQ(eval::evaluate("SELF()"), "");
  EXPECT_EQ(files::error_code(), files::kUnknownName);
}

TEST_F(Bind, ManyParameters) {
  eval::bind("WIDE", recorder("ok"), 12, eval::ResultType::String);
  EXPECT_EQ(eval::evaluate("WIDE(1,2,3,4,5,6,7,8,9,10,11,12)"), "ok");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].size(), 12u);
  EXPECT_EQ(calls[0][11], "12");
  EXPECT_EQ(eval::evaluate("WIDE(1,2,3,4,5,6,7,8,9,10,11,12,13)"), "");
  EXPECT_EQ(files::error_code(), files::kIllegalExpression);
}

}  // namespace
