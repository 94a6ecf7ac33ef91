#include "platform/eval/binding.h"

#include <algorithm>
#include <vector>

#include "platform/eval/names.h"
#include "platform/files/errors.h"
#include "platform/text/text.h"

namespace eval {

namespace {

// The runtime keeps bindings per thread; so do we.
std::vector<std::shared_ptr<const Binding>>& bindings() {
  thread_local std::vector<std::shared_ptr<const Binding>> table;
  return table;
}

// More parameters than this is no procedure anyone binds; the cap keeps a
// call's argument list small.
constexpr int kMaxParameters = 255;

}  // namespace

std::shared_ptr<const Binding> find_binding(std::string_view name) {
  for (const auto& b : bindings()) {
    if (same_name(b->name, name)) return b;
  }
  return nullptr;
}

void bind(std::string_view name, Function fn, int parameter_count, ResultType type) {
  auto b = std::make_shared<Binding>();
  b->name = std::string(text::clip(name));
  b->fn = std::move(fn);
  b->parameter_count = std::clamp(parameter_count, 0, kMaxParameters);
  b->type = type;
  auto& table = bindings();
  auto it = std::find_if(table.begin(), table.end(), [&](const auto& e) { return same_name(e->name, b->name); });
  if (it != table.end()) {
    *it = std::move(b);
  } else {
    table.push_back(std::move(b));
  }
  files::clear_error();
}

void unbind(std::string_view name) {
  name = text::clip(name);
  auto& table = bindings();
  auto it = std::find_if(table.begin(), table.end(), [&](const auto& e) { return same_name(e->name, name); });
  if (it == table.end()) {
    files::set_error(files::kUnknownName);
    return;
  }
  table.erase(it);
  files::clear_error();
}

}  // namespace eval
