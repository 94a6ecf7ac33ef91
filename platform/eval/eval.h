// EVALUATE, BIND and UNBIND: the runtime's expression evaluator. An expression
// is read and evaluated in one pass; its value comes back as text, and every
// failure is an empty text with the error state of platform/files set. Nothing
// is ever shown and no exception leaves these calls.
//
// The language, as WHERE texts use it:
// - Literals: decimal numbers ("12", "0.05", scientific "1.5E3"), the suffixed
//   forms "1011B", "3403O", "0CD1FH" (a leading digit), and texts in single
//   quotes where a doubled quote stands for one. "<" and "{" inside a text are
//   plain characters: values put into a WHERE text often hold them, and the
//   source-code escapes "<13,10>" and "{5}" would change or reject such values.
// - Operators, loosest first: OR and XOR; AND; NOT and "~"; the comparisons
//   (=, <, >, <> ~= NOT =, <= =< ~> NOT >, >= => ~< NOT <); "&"; + and -;
//   * / %; "^"; unary minus and plus. Left to right within a level.
// - Names are case-insensitive: the built-in functions (DATE TODAY CLOCK DAY
//   MONTH YEAR AGE INT ROUND ABS SUB LEN UPPER LOWER CLIP LEFT RIGHT INSTRING
//   NUMERIC INRANGE CHOOSE VAL CHR) and the functions bound with bind(); a bound
//   name hides a built-in one.
//
// Values: integers and decimals are exact (31 digits on each side of the
// point; an integer division that does not come out even is decimal, so
// 100000/3 has 31 places); scientific literals make floating-point numbers of
// 15 significant digits, and so does anything combined with them. A
// comparison of a text with a number is numeric when the text, leading and
// trailing blanks aside, is a number (or is blank); otherwise both are
// compared as texts. Texts compare case-sensitively with trailing blanks
// ignored. Logical results are "1" and "0"; a value counts as true when it is
// a non-zero number or a non-blank text.
//
// AND and OR evaluate their right side only when it decides the result, so a
// guard such as "X = 0 OR 10 / X > 2" works; a skipped side is still read
// whole, so its syntax errors and unknown names are reported all the same.
//
// Error codes: 1010 for an illegal expression (bad syntax, a division by zero,
// a result no number can hold, nesting deeper than 100, a text longer than
// 1,048,576 bytes or more than 8 times that built by one evaluation in all,
// too many arguments); 1011 for an unknown name; 1015 when a built-in
// function misses a parameter it needs.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace eval {

// The result type a bound function declares: its returned text is taken as a
// text, as a floating-point number, or as an integer (fraction cut).
enum class ResultType { String, Real, Long };

// A bound function receives exactly as many texts as its parameter count, in
// the order the expression writes them; arguments the expression leaves out
// arrive as empty texts.
using Function = std::function<std::string(std::span<const std::string> args)>;

// EVALUATE(expression): the value as text ("1"/"0" for logical results), or an
// empty text with the error state set. Success clears the error state.
std::string evaluate(std::string_view expression);

// Where the last evaluate() on this thread that failed found its error: the
// offset of the token (or of the operator or function whose evaluation
// failed) in the expression, its length when the expression ended too soon,
// std::string_view::npos when the failure lies in no place of it (memory ran
// out).
std::size_t error_position();

// BIND(name, procedure): binds a function for this thread's evaluations; a
// name bound again is replaced. Sets the error state to 0.
void bind(std::string_view name, Function fn, int parameter_count, ResultType type);
// UNBIND(name): removes a binding; an unknown name sets the error code 1011.
void unbind(std::string_view name);

}  // namespace eval
