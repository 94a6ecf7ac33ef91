// Input no one writes on purpose: deep nesting, very long texts and numbers,
// unterminated literals. Each gives a value or an error code, never a crash.
#include <gtest/gtest.h>

#include <string>

#include "platform/eval/eval.h"
#include "platform/files/errors.h"

namespace {

std::string repeat(std::string_view piece, std::size_t n) {
  std::string s;
  s.reserve(piece.size() * n);
  for (std::size_t i = 0; i < n; ++i) s.append(piece);
  return s;
}

TEST(Hostile, NestingIsBounded) {
  EXPECT_EQ(eval::evaluate(repeat("(", 100) + "1" + repeat(")", 100)), "1");
  struct {
    std::string expression;
    int code;
  } cases[] = {
      {repeat("(", 101) + "1" + repeat(")", 101), files::kIllegalExpression},
      {repeat("(", 100000), files::kIllegalExpression},
      {repeat("(", 100000) + "1" + repeat(")", 100000), files::kIllegalExpression},
      {repeat("UPPER(", 101) + "'a'" + repeat(")", 101), files::kIllegalExpression},
      {repeat("CHOOSE(1,", 50000) + "1", files::kIllegalExpression},
      {repeat("1+", 50000), files::kIllegalExpression},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(eval::evaluate(c.expression), "");
    EXPECT_EQ(files::error_code(), c.code) << c.expression.substr(0, 40);
  }
}

TEST(Hostile, LongChainsOfOperatorsAreRead) {
  struct {
    std::string expression;
    std::string expected;
  } cases[] = {
      {repeat("-", 100000) + "1", "1"},
      {repeat("-", 100001) + "1", "-1"},
      {repeat("NOT ", 50001) + "0", "1"},
      {repeat("1+", 50000) + "1", "50001"},
      {repeat("1 AND ", 20000) + "1", "1"},
      {repeat("'ab' & ", 10000) + "''", repeat("ab", 10000)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(eval::evaluate(c.expression), c.expected) << c.expression.substr(0, 40);
    EXPECT_EQ(files::error_code(), 0);
  }
}

TEST(Hostile, LongTextsAndNumbers) {
  const std::string x(50000, 'x');
  struct {
    std::string expression;
    std::string expected;
    int code;
  } cases[] = {
      {"'" + x + "' = '" + x + "'", "1", 0},
      {"LEN('" + x + "')", "50000", 0},
      {"INSTRING('y', '" + x + "y', 1, 1)", "50001", 0},
      {"INSTRING('" + x + "y', '" + x + x + "y', 1, 1)", "50001", 0},
      {"LEN(LEFT('a', 1048576))", "1048576", 0},
      {"LEFT('a', 1048576) & 'b'", "", files::kIllegalExpression},
      // Megabyte texts over and over: eight are allowed, the ninth ends it.
      {repeat("LEN(LEFT('a', 1048576)) + ", 7) + "LEN(LEFT('a', 1048576))", "8388608", 0},
      {repeat("LEN(LEFT('a', 1048576)) + ", 8) + "LEN(LEFT('a', 1048576))", "", files::kIllegalExpression},
      {repeat("LEFT('a', 1048576) = ", 200) + "1", "", files::kIllegalExpression},
      {repeat("UPPER(", 99) + "LEFT('a', 1048576)" + repeat(")", 99), "", files::kIllegalExpression},
      {"'" + x, "", files::kIllegalExpression},
      {"1 = '" + x, "", files::kIllegalExpression},
      {std::string(50000, '9') + " > 1", "", files::kIllegalExpression},
      {"'" + std::string(50000, '9') + "' > 1", "1", 0},
      {"'" + std::string(50000, '9') + "' + 1", "", files::kIllegalExpression},
      {"0." + std::string(50000, '1') + " > 0.1", "1", 0},
      {"1e" + std::string(5000, '9'), "", files::kIllegalExpression},
      {"1e-" + std::string(5000, '9'), "0", 0},
      {std::string(50000, 'A'), "", files::kUnknownName},
      {std::string(50000, '1') + "B", "", files::kIllegalExpression},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(eval::evaluate(c.expression), c.expected) << c.expression.substr(0, 40);
    EXPECT_EQ(files::error_code(), c.code) << c.expression.substr(0, 40);
  }
}

// Counts, positions, steps and exponents far beyond any text or number: the
// answer a sensible value would give, or an error, and no huge allocation.
TEST(Hostile, HugeCountsPositionsAndExponents) {
  struct {
    std::string expression;
    std::string expected;
    int code;
  } cases[] = {
      {"INSTRING('b', 'abcb', -9223372036854775807 - 1, 3)", "0", 0},
      {"INSTRING('b', 'abcb', -99999999999999999999, 4)", "4", 0},
      {"INSTRING('b', 'abcb', 9223372036854775807, 2)", "2", 0},
      {"INSTRING('b', 'abcb', 1, -9223372036854775807 - 1)", "0", 0},
      {"INSTRING('b', 'abcb', 1, 99999999999999999999)", "0", 0},
      {"SUB('abc', -9223372036854775807 - 1, 9223372036854775807)", "", 0},
      {"SUB('abc', 2, 99999999999999999999)", "bc", 0},
      {"SUB('abc', -1, 1e300)", "c", 0},
      {"LEFT('a', 9223372036854775807)", "", files::kIllegalExpression},
      {"RIGHT('a', 1e300)", "", files::kIllegalExpression},
      {"LEFT('a', -1e300)", "", 0},
      {"CHR(-9223372036854775807 - 1)", std::string(1, '\0'), 0},
      {"CHR(1e300)", std::string(1, '\xFF'), 0},
      {"2^9223372036854775807", "", files::kIllegalExpression},
      {"1^9223372036854775807", "1", 0},
      {"(-1)^(-9223372036854775807 - 1)", "1", 0},
      {"0.5^99999999999999", "0", 0},
      {"10^-99999", "0", 0},
      {"1.0000001^99999999999999", "", files::kIllegalExpression},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(eval::evaluate(c.expression), c.expected) << c.expression;
    EXPECT_EQ(files::error_code(), c.code) << c.expression;
  }
}

}  // namespace
