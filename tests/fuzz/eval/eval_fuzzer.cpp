// EVALUATE of any text: a value or one of the evaluator's error codes, never
// a crash, a hang or a result beyond the longest text an operation may build.
// Two bound functions stand in for the ones a WHERE text calls: ECHO hands
// back its argument, BIG answers a long text, so nesting and concatenating
// their results is reachable too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "platform/eval/eval.h"
#include "platform/eval/value.h"
#include "platform/files/errors.h"

namespace {

bool bind_once() {
  eval::bind("ECHO", [](std::span<const std::string> args) { return args[0]; }, 1, eval::ResultType::String);
  eval::bind("BIG", [](std::span<const std::string>) { return std::string(100000, 'x'); }, 0,
             eval::ResultType::String);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool bound = bind_once();
  (void)bound;
  const std::string_view expression(reinterpret_cast<const char*>(data), size);
  const std::string result = eval::evaluate(expression);
  const int code = files::error_code();
  if (result.size() > eval::kMaxText) std::abort();
  switch (code) {
    case 0: break;
    case files::kIllegalExpression:
    case files::kUnknownName:
    case files::kParametersOmitted:
      if (!result.empty()) std::abort();
      break;
    default: std::abort();
  }
  return 0;
}
