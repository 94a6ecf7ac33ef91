// The functions bound for EVALUATE on this thread (BIND/UNBIND).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/eval/eval.h"

namespace eval {

struct Binding {
  std::string name;
  Function fn;
  int parameter_count = 0;
  ResultType type = ResultType::String;
};

// The binding of a name (any case), or null. The pointer keeps the binding
// alive while it is called, even if the function unbinds itself.
std::shared_ptr<const Binding> find_binding(std::string_view name);

}  // namespace eval
