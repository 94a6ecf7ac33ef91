// EVALUATE on tables of cases: every operator, literal form and built-in
// function, the comparison rules and the exact decimal arithmetic.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/eval/eval.h"
#include "platform/files/errors.h"
#include "platform/picture/date.h"

namespace {

struct Case {
  std::string_view expression;
  std::string_view expected;
};

struct ErrorCase {
  std::string_view expression;
  int code;
};

// TODAY() is 4 Jul 2024 (81638) and CLOCK() 12:30:00 (4500001) in every case.
class Evaluate : public ::testing::Test {
 protected:
  void SetUp() override { picture::fix_clock(81638, 4500001); }
  void TearDown() override { picture::release_clock(); }

  static void expect_values(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
      files::set_error(files::kFileNotFound);  // success must clear it
      EXPECT_EQ(eval::evaluate(c.expression), c.expected) << c.expression;
      EXPECT_EQ(files::error_code(), 0) << c.expression;
    }
  }
  static void expect_errors(const std::vector<ErrorCase>& cases) {
    for (const auto& c : cases) {
      EXPECT_EQ(eval::evaluate(c.expression), "") << c.expression;
      EXPECT_EQ(files::error_code(), c.code) << c.expression;
    }
  }
};

TEST_F(Evaluate, Literals) {
  expect_values({
      {"12", "12"},
      {"-924", "-924"},
      {"+76.346", "76.346"},
      {"00012", "12"},
      {".5", "0.5"},
      {"1.50", "1.5"},
      {"5.", "5"},
      {"1011b", "11"},
      {"1011B", "11"},
      {"0B", "0"},
      {"3403o", "1795"},
      {"-1FFBh", "-8187"},
      {"0CD1F74FH", "215086927"},
      {"1.5E3", "1500"},
      {"2.5e-1", "0.25"},
      {"1e20 * 1e20", "1E+40"},
      {"'hello'", "hello"},
      {"'it''s'", "it's"},
      {"''''", "'"},
      {"''", ""},
      {"'0'", "0"},
      {"'  padded  '", "  padded  "},
      // "<" and "{" are plain characters inside a text.
      {"'<13,10>'", "<13,10>"},
      {"' {5}'", " {5}"},
      {"'a<b'", "a<b"},
      {"\t12\r\n", "12"},
  });
}

TEST_F(Evaluate, Arithmetic) {
  expect_values({
      {"1+1", "2"},
      {"100+(20*5)-6", "194"},
      {"2+3*4", "14"},
      {"(2+3)*4", "20"},
      {"10-4-3", "3"},
      {"4 - -2", "6"},
      {"- - 3", "3"},
      {"3 * +2", "6"},
      {"+-+2", "-2"},
      {"-(2+3)", "-5"},
      {"7/2", "3.5"},
      {"6/3", "2"},
      {"-6/4", "-1.5"},
      {"100000/3", "33333.3333333333333333333333333333333"},
      {"1/3*3", "0.9999999999999999999999999999999"},
      {"10 % 3", "1"},
      {"-7 % 3", "-1"},
      {"7 % -3", "1"},
      {"7.5 % 2", "1.5"},
      {"2^10", "1024"},
      {"2^0", "1"},
      {"2^-1", "0.5"},
      {"-2^2", "4"},
      {"2^3^2", "64"},
      {"1.1^2", "1.21"},
      {"2^62", "4611686018427387904"},
      {"2^64", "18446744073709551616"},
      {"10^40", "1E+40"},
      {"2^0.5", "1.4142135623731"},
      {"4^0.5", "2"},
      {"2*3^2", "18"},
      {"9223372036854775807 + 1", "9223372036854775808"},
      {"-9223372036854775807 - 2", "-9223372036854775809"},
      {"99999999999 * 99999999999", "9999999999800000000001"},
      {"'12' + 3", "15"},
      {"' 2.5' * 2", "5"},
      {"'-1.5x' + 1", "-0.5"},
      {"'abc' + 1", "1"},
      {"-'4'", "-4"},
      {"1.5e0 + 1", "2.5"},
      {"0.1e0 + 0.2e0", "0.3"},
  });
}

TEST_F(Evaluate, DecimalsKeepCents) {
  expect_values({
      {"0.1 + 0.2", "0.3"},
      {"0.1 + 0.2 = 0.3", "1"},
      {"19.99 * 3", "59.97"},
      {"1234567.89 - 0.01", "1234567.88"},
      {"0.07 * 100", "7"},
      {"1.10 - 1", "0.1"},
      {"10.00 / 4", "2.5"},
      {"0.3 - 0.1 - 0.2", "0"},
      {"-0.5 + 0.5", "0"},
      {"1000000000000000000000000000000 + 0.0000000000000000000000000000001",
       "1000000000000000000000000000000.0000000000000000000000000000001"},
  });
}

TEST_F(Evaluate, Comparisons) {
  expect_values({
      {"2 < 3", "1"},
      {"3 < 2", "0"},
      {"2 = 2", "1"},
      {"2 = 3", "0"},
      {"3 > 2", "1"},
      {"2 <> 3", "1"},
      {"2 ~= 3", "1"},
      {"2 NOT = 3", "1"},
      {"2 not = 2", "0"},
      {"2 ~ = 2", "0"},
      {"3 <= 3", "1"},
      {"3 =< 2", "0"},
      {"3 ~> 3", "1"},
      {"3 NOT > 4", "1"},
      {"4 NOT > 3", "0"},
      {"3 >= 3", "1"},
      {"2 => 3", "0"},
      {"3 ~< 3", "1"},
      {"3 NOT < 4", "0"},
      {"1 < 2 < 3", "1"},
      {"1 + 1 = 2", "1"},
      {"1.50 = 1.5", "1"},
      {"2 = 2.0000000000000000000000000000001", "0"},
      {"9223372036854775807 < 9223372036854775808", "1"},
      {"1.5e0 > 1", "1"},
      // texts: case-sensitive, trailing blanks ignored, leading blanks count
      {"'ABC' = 'ABC   '", "1"},
      {"'abc' = 'ABC'", "0"},
      {"'abc' > 'ABC'", "1"},
      {"' abc' = 'abc'", "0"},
      {"'' = '   '", "1"},
      {"'10' < '9'", "1"},
      {"'Smith' = 'Smith'", "1"},
      // a text against a number: numeric when the text holds a number or is blank
      {"'10' < 9", "0"},
      {"9 > '10'", "0"},
      {"'' = 0", "1"},
      {"'   ' = 0", "1"},
      {"' 12 ' = 12", "1"},
      {"'12.50' = 12.5", "1"},
      {"'-3' < 0", "1"},
      {"'abc' = 0", "0"},
      {"'abc' > 5", "1"},
      {"'5x' = 5", "0"},
      {"'5x' > 5", "1"},
      {"'1.5E3' = 1500", "0"},
  });
}

TEST_F(Evaluate, Logic) {
  expect_values({
      {"1 AND 0", "0"},
      {"1 AND 2", "1"},
      {"1 OR 0", "1"},
      {"0 OR 0", "0"},
      {"1 XOR 1", "0"},
      {"1 XOR 0", "1"},
      {"0 XOR 0", "0"},
      {"NOT 1", "0"},
      {"NOT 0", "1"},
      {"~0", "1"},
      {"~ ~ 7", "1"},
      {"NOT NOT 5", "1"},
      {"NOT 'abc'", "0"},
      {"NOT ''", "1"},
      {"NOT '0'", "0"},
      {"NOT 0.0", "1"},
      {"NOT 2 = 3", "1"},
      {"5 AND 'x'", "1"},
      {"1 AND '  '", "0"},
      {"1 or 0", "1"},
      {"1 And 1", "1"},
      // AND binds tighter than OR and XOR
      {"1 OR 1 AND 0", "1"},
      {"(1 OR 1) AND 0", "0"},
      {"0 AND 1 OR 1", "1"},
      {"1 XOR 1 AND 0", "1"},
      {"1 OR 0 XOR 1", "0"},
      // the side that cannot change the result is not evaluated
      {"0 AND 1/0", "0"},
      {"1 OR 1/0", "1"},
      {"0 = 0 OR 10 / 0 > 2", "1"},
      {"1 OR 0 AND 1/0", "1"},
  });
}

TEST_F(Evaluate, Concatenation) {
  expect_values({
      {"'hello'&' world'", "hello world"},
      {"'a ' & 'b'", "a b"},
      {"'a' & 1 + 2", "a3"},
      {"1 & 2", "12"},
      {"'x' & 0.5", "x0.5"},
      {"'A' & 'B' = 'AB'", "1"},
      {"'a' & 'b' & 'c' & 'd'", "abcd"},
      {"'it''s' & ' ok'", "it's ok"},
      {"('1' & '2') + 1", "13"},
  });
}

// The WHERE texts of the record line after their labels were replaced.
TEST_F(Evaluate, SubstitutedWhereTexts) {
  expect_values({
      {"2 < 3", "1"},                      // CUS:CODE < 3, code 2
      {"150.25 > 100", "1"},               // PRE:AMOUNT > 100
      {"99.99 > 100", "0"},
      {"'Smith' = 'Smith'", "1"},          // a STRING column in quotes
      {"'Smith   ' = 'Smith'", "1"},
      {"12 < 3 AND 79992 > DATE(7,17,2017) OR 'Smith' = 'Smith'", "1"},
      {"12 < 3 AND 79992 > DATE(7,17,2017) OR 'Smith' = 'Jones'", "0"},
      {"79992 > DATE(7,17,2017)", "1"},
      {"79000 < DATE(7,17,2017)", "1"},    // CUS:DEPARTS < DATE(7,17,2017)
      {"81635 > TODAY()-8 AND 2 < 3", "1"},  // CUS:ARRIVES > TODAY()-8 AND CUS:CODE < 3
      {"81630 > TODAY()-8 AND 2 < 3", "0"},
      {"-2147483648 < 0", "1"},            // the record-pointer column
      {"81638 = DATE(7,4,2024)", "1"},     // a DATE field's standard date
      {"YEAR(81638) = 2024 AND MONTH(81638) >= 7", "1"},
      {"UPPER('smith') = 'SMITH'", "1"},
      {"INSTRING('mit', 'Smith', 1, 1) > 0", "1"},
  });
}

TEST_F(Evaluate, DateFunctions) {
  expect_values({
      {"DATE(7,4,2024)", "81638"},
      {"DATE(7,17,2017)", "79094"},
      {"DATE(10,31,1959)", "58015"},
      {"DATE(12,32,97) = DATE(1,1,98)", "1"},
      {"DATE(13,1,97) = DATE(1,1,98)", "1"},
      {"DAY(DATE(3,0,2024))", "29"},
      {"DATE(0,1,2000)", "-1"},
      {"DATE('7', '4', '2024')", "81638"},
      {"TODAY()", "81638"},
      {"TODAY", "81638"},
      {"CLOCK()", "4500001"},
      {"DAY(81638)", "4"},
      {"MONTH(81638)", "7"},
      {"YEAR(81638)", "2024"},
      {"YEAR(TODAY()) - 1", "2023"},
      {"date(7,4,2024)", "81638"},
      {"AGE(DATE(7,1,2024), DATE(7,4,2024))", "3 DAYS"},
      {"AGE(DATE(6,1,2024))", "33 DAYS"},
      {"AGE(81638)", "0 DAYS"},
      {"AGE(DATE(5,5,2024))", "60 DAYS"},
      {"AGE(DATE(5,4,2024))", "2 MOS"},
      {"AGE(DATE(1,1,2024))", "6 MOS"},
      {"AGE(DATE(7,5,2022))", "23 MOS"},
      {"AGE(DATE(7,4,2022))", "2 YRS"},
      {"AGE(DATE(10,31,1959))", "64 YRS"},
      {"AGE(DATE(7,5,2024))", ""},
      {"AGE(0)", ""},
  });
}

TEST_F(Evaluate, NumberFunctions) {
  expect_values({
      {"INT(3.7)", "3"},
      {"INT(-3.7)", "-3"},
      {"INT('12.9')", "12"},
      {"INT(7)", "7"},
      {"INT(2.5e0)", "2"},
      {"INT(100000/3)", "33333"},
      {"ROUND(5.678, .01)", "5.68"},
      {"ROUND(5.674, .01)", "5.67"},
      {"ROUND(2.5, 1)", "3"},
      {"ROUND(-2.5, 1)", "-3"},
      {"ROUND(0.125, 0.01)", "0.13"},
      {"ROUND(1250, 100)", "1300"},
      {"ROUND(1234, -100)", "1200"},
      {"ROUND(5.5, 0)", "5.5"},
      {"ROUND(2.5e0, 1)", "3"},
      {"ROUND(100000/3, .01)", "33333.33"},
      {"ABS(-5)", "5"},
      {"ABS(-1.25)", "1.25"},
      {"ABS(3)", "3"},
      {"ABS(-2.5e0)", "2.5"},
      {"ABS(-9223372036854775807 - 1)", "9223372036854775808"},
      {"INRANGE(5, 1, 10)", "1"},
      {"INRANGE(10, 1, 10)", "1"},
      {"INRANGE(11, 1, 10)", "0"},
      {"INRANGE(0.5, 1, 10)", "0"},
      {"INRANGE('b', 'a', 'c')", "1"},
      {"INRANGE('5', 1, 10)", "1"},
  });
}

TEST_F(Evaluate, TextFunctions) {
  expect_values({
      {"SUB('ABCDEF', 2, 3)", "BCD"},
      {"SUB('ABCDEF', -2, 2)", "EF"},
      {"SUB('ABC', 2, 10)", "BC"},
      {"SUB('ABC', 5, 1)", ""},
      {"SUB('ABC', 1, 0)", ""},
      {"SUB(12345, 2, 2)", "23"},
      {"SUB('it''s', 2, 2)", "t'"},
      {"LEN('abc  ')", "5"},
      {"LEN('')", "0"},
      {"LEN(CLIP('abc  '))", "3"},
      {"LEN(12345)", "5"},
      {"UPPER('abc1')", "ABC1"},
      {"Upper('x')", "X"},
      {"LOWER('ABC1')", "abc1"},
      {"CLIP('ab  ')", "ab"},
      {"CLIP('  ')", ""},
      {"CLIP('a' & '  ') & 'b'", "ab"},
      {"LEFT('  ab')", "ab  "},
      {"LEFT('  ab', 3)", "ab "},
      {"LEFT('abc', 2)", "ab"},
      {"LEFT('abc', -1)", ""},
      {"RIGHT('ab  ')", "  ab"},
      {"RIGHT('ab', 4)", "  ab"},
      {"RIGHT('abc', 2)", "bc"},
      {"INSTRING('b', 'abcb')", "2"},
      {"INSTRING('cb', 'abcb')", "3"},
      {"INSTRING('bc', 'abcb')", "0"},  // the default step is the length of the text sought
      {"INSTRING('bc', 'abcb', 1, 1)", "2"},
      {"INSTRING('b', 'abcb', 1, 3)", "4"},
      {"INSTRING('x', 'abc', 1, 1)", "0"},
      {"INSTRING('', 'abc', 1, 1)", "0"},
      {"INSTRING('abcd', 'abc', 1, 1)", "0"},
      {"INSTRING('b', 'abcb', 1, 9)", "0"},
      {"INSTRING('b', 'abcb', -1)", "4"},
      {"INSTRING('b', 'abcb', -1, 3)", "2"},
      {"INSTRING('a', 'aaaa', 2, 2)", "2"},
      {"INSTRING('aa', 'aaaa', 1, 2)", "2"},
      {"INSTRING('b', 'abcb', , 3)", "4"},
      {"NUMERIC('12.5')", "1"},
      {"NUMERIC('-3')", "1"},
      {"NUMERIC('12a')", "0"},
      {"NUMERIC('')", "0"},
      {"NUMERIC(7)", "1"},
      {"NUMERIC('12  ')", "1"},
      {"NUMERIC(' 12')", "0"},
      {"NUMERIC('+1')", "0"},
      {"NUMERIC('1,000')", "0"},
      {"NUMERIC('1e5')", "0"},
      {"NUMERIC('.5')", "1"},
      {"NUMERIC('-')", "0"},
      {"VAL('A')", "65"},
      {"VAL('ABC')", "65"},
      {"VAL('')", "0"},
      {"VAL('\xE9')", "233"},
      {"CHR(65)", "A"},
      {"CHR(65) & CHR(66)", "AB"},
      {"CHR(321)", "A"},
      {"VAL(CHR(200))", "200"},
      {"UPPER(SUB('hello', 1, 1)) & SUB('hello', 2, 4)", "Hello"},
  });
}

TEST_F(Evaluate, Choose) {
  expect_values({
      {"CHOOSE(2, 'a', 'b', 'c')", "b"},
      {"CHOOSE(1, 'a', 'b', 'c')", "a"},
      {"CHOOSE(5, 'a', 'b', 'c')", "c"},
      {"CHOOSE(0, 'a', 'b')", "b"},
      {"CHOOSE(-1, 'a', 'b')", "b"},
      {"CHOOSE(1.9, 'a', 'b')", "a"},
      {"CHOOSE(1 = 1, 'yes', 'no')", "yes"},
      {"CHOOSE(1 = 2, 'yes', 'no')", "no"},
      {"CHOOSE(1, 'a')", "a"},
      {"CHOOSE(2, 10, 20) + 1", "21"},
      {"CHOOSE(1, 'a', 1/0)", "a"},  // values not chosen are not evaluated
      {"CHOOSE(2, 1/0, 'b')", "b"},
      {"CHOOSE(9, 1/0, 'last')", "last"},
      {"CHOOSE(2, 'a', CHOOSE(1, 'x', 'y'))", "x"},
  });
}

TEST_F(Evaluate, Errors) {
  expect_errors({
      // syntax
      {"", files::kIllegalExpression},
      {"   ", files::kIllegalExpression},
      {"1 +", files::kIllegalExpression},
      {"(1", files::kIllegalExpression},
      {"1)", files::kIllegalExpression},
      {"()", files::kIllegalExpression},
      {"1 2", files::kIllegalExpression},
      {"'abc", files::kIllegalExpression},
      {"'abc''", files::kIllegalExpression},
      {"12abc", files::kIllegalExpression},
      {"12B", files::kIllegalExpression},
      {"19O", files::kIllegalExpression},
      {"1.2.3", files::kIllegalExpression},
      {".", files::kIllegalExpression},
      {"@D6", files::kIllegalExpression},
      {"1 ~ 2", files::kIllegalExpression},
      {"2 = = 3", files::kIllegalExpression},
      {"1 NOT 2", files::kIllegalExpression},
      {"AND", files::kIllegalExpression},
      {"1 AND", files::kIllegalExpression},
      {"1 + NOT 0", files::kIllegalExpression},
      {"1 & ", files::kIllegalExpression},
      {"'a' 'b'", files::kIllegalExpression},
      {"SUB('abc' 1, 2)", files::kIllegalExpression},
      {"UPPER('a', 'b')", files::kIllegalExpression},
      {"TODAY(1)", files::kIllegalExpression},
      {"1 = 1\x01", files::kIllegalExpression},
      {std::string_view("1 =\0 1", 6), files::kIllegalExpression},
      // no number can hold the result, or there is none
      {"1/0", files::kIllegalExpression},
      {"1.5/0", files::kIllegalExpression},
      {"1e0/0", files::kIllegalExpression},
      {"1 % 0", files::kIllegalExpression},
      {"1.5 % 0", files::kIllegalExpression},
      {"1/(2-2)", files::kIllegalExpression},
      {"0^-1", files::kIllegalExpression},
      {"1e999", files::kIllegalExpression},
      {"9^999999999", files::kIllegalExpression},
      {"10^1e6", files::kIllegalExpression},
      {"(-8)^0.5", files::kIllegalExpression},
      {"0FFFFFFFFFFFFFFFFFH", files::kIllegalExpression},
      {"1 AND 1/0 > 0", files::kIllegalExpression},
      {"CHOOSE(2, 'a', 1/0)", files::kIllegalExpression},
      {"LEFT('a', 2000000)", files::kIllegalExpression},
      // unknown names, even where their value would not be needed
      {"NOSUCH", files::kUnknownName},
      {"CUS:CODE < 3", files::kUnknownName},
      {"nosuch(1)", files::kUnknownName},
      {"0 AND NOSUCH", files::kUnknownName},
      {"1 OR NOSUCH(1/0)", files::kUnknownName},
      {"CHOOSE(1, 'a', NOSUCH)", files::kUnknownName},
      // parameters of built-in functions left out
      {"DATE(1,2)", files::kParametersOmitted},
      {"DATE()", files::kParametersOmitted},
      {"DATE", files::kParametersOmitted},
      {"DATE(1,,2024)", files::kParametersOmitted},
      {"SUB('abc',1)", files::kParametersOmitted},
      {"UPPER()", files::kParametersOmitted},
      {"CHOOSE(1)", files::kParametersOmitted},
      {"CHOOSE(,1)", files::kParametersOmitted},
      {"CHOOSE(1,,2)", files::kParametersOmitted},
      {"CHOOSE", files::kParametersOmitted},
      {"0 AND DATE(1)", files::kParametersOmitted},
  });
}

}  // namespace

namespace {

TEST(EvaluateErrorPosition, TheTokenWhereTheErrorWasFound) {
  struct PositionCase {
    std::string_view expression;
    int code;
    std::size_t position;
  };
  const PositionCase cases[] = {
      {"1 = 'abc", files::kIllegalExpression, 4},        // the unterminated text
      {"1 = 1 AND NOSUCH = 2", files::kUnknownName, 10},  // the unknown name itself
      {"1 AND nosuch(1)", files::kUnknownName, 6},
      {"SUB('abc', 1) = 'a'", files::kParametersOmitted, 0},  // the function
      {"1 = 1 AND DATE(1,2) > 0", files::kParametersOmitted, 10},
      {"(1 = 1", files::kIllegalExpression, 6},          // the end of the text
      {"1 = 1)", files::kIllegalExpression, 5},          // the parenthesis too many
      {"1 = 1 2", files::kIllegalExpression, 6},
      {"100 / 0 > 1", files::kIllegalExpression, 4},     // the operator that failed
      {"1 + (0 - 8) ^ 0.5 = 1", files::kIllegalExpression, 12},
      {"", files::kIllegalExpression, 0},
  };
  for (const PositionCase& c : cases) {
    SCOPED_TRACE(c.expression);
    EXPECT_EQ(eval::evaluate(c.expression), "");
    EXPECT_EQ(files::error_code(), c.code);
    EXPECT_EQ(eval::error_position(), c.position);
  }
  // Too deeply nested: the parenthesis one too deep.
  const std::string deep = std::string(101, '(') + "1" + std::string(101, ')');
  EXPECT_EQ(eval::evaluate(deep), "");
  EXPECT_EQ(eval::error_position(), 100u);
}

}  // namespace
