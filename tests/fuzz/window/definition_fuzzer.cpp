// Any bytes as a list's FORMAT string and as drop-list items: parsing them and
// showing a list and a drop list built from them must never crash or read
// outside a buffer. The first byte splits the input between the two texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window/definition.h"
#include "platform/window/headless.h"
#include "platform/window/window.h"

namespace {

class Rows final : public window::RowSource {
 public:
  std::size_t rows() const override { return 3; }
  bool load(std::size_t row) override {
    row_ = row;
    return row >= 1 && row <= 3;
  }
  std::string cell(std::size_t field) const override { return std::to_string(row_ * 1000 + field); }

 private:
  std::size_t row_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view all(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::size_t split = data[0] % (all.size() + 1);
  std::string format(all.substr(0, split));
  std::string from(all.substr(split));

  window::ListFormat f = window::parse_format(format);
  for (const window::ListColumn& c : f.columns) {
    if (c.field < 1 || c.group < 0 || static_cast<std::size_t>(c.group) > f.groups.size()) __builtin_trap();
  }
  for (const window::ListGroup& g : f.groups) {
    if (g.first + g.count > f.columns.size()) __builtin_trap();
  }

  window::headless().reset();
  window::WindowDef def;
  def.controls = {{.type = window::ControlType::List, .format = format},
                  {.type = window::ControlType::DropList, .from = from}};
  Rows rows;
  std::string value = from.substr(0, from.size() / 2);
  window::Window w(def, {rows, value});
  w.open();
  for (std::size_t r = 0; r <= 4; ++r) (void)w.list_row(1, r);
  int items = static_cast<int>(w.items(2).size());
  for (int i = 0; i <= items + 1; ++i) w.user_choose(2, i);
  w.user_click(1, 2, static_cast<int>(f.columns.size()));
  w.close();
  return 0;
}
