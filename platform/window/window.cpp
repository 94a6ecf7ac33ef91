#include "platform/window/window.h"

#include <algorithm>
#include <stdexcept>

#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/picture/picture.h"
#include "platform/window/backend.h"

namespace window {

namespace {

std::vector<Window*>& open_windows() {
  static std::vector<Window*> windows;
  return windows;
}

std::int64_t next_handle() {
  static std::int64_t handle = 0x10000;
  return handle += 4;
}

std::string flag(bool on) { return on ? "1" : ""; }
bool flag(std::string_view v) { return text::to_number(v) != 0; }

const std::vector<DropItem> kNoItems;
const ListFormat kNoFormat;

bool shows_value(ControlType t) {
  return t == ControlType::Entry || t == ControlType::Text || t == ControlType::Combo || t == ControlType::String;
}

// The text a value shows under its picture. "@sN" shows at most N characters;
// other pictures show the value's own text.
std::string show(std::string_view value, std::string_view picture) {
  // The system's list control takes C strings: a NUL ends what a cell shows.
  value = value.substr(0, value.find('\0'));
  if (picture.size() > 2 && (picture[1] == 's' || picture[1] == 'S')) {
    std::size_t n = static_cast<std::size_t>(std::max<std::int32_t>(0, text::to_long(picture.substr(2))));
    if (value.size() > n) value = value.substr(0, n);
    return std::string(value);
  }
  // A number, date or time is shown as its picture formats it (@n9b: blank
  // for zero, right-aligned in nine places otherwise).
  if (picture.size() > 1 && picture[0] == '@') return picture::format(value, picture);
  return std::string(value);
}

}  // namespace

// ---- creation --------------------------------------------------------------------

Window::Window(const WindowDef& def, std::initializer_list<Binding> bindings)
    : Window(def, std::vector<Binding>(bindings)) {}

Window::Window(const WindowDef& def, const std::vector<Binding>& bindings)
    : def_(def), handle_(next_handle()), caption_(def.caption), timer_(std::max(0, def.timer)) {
  controls_.reserve(def_.controls.size());
  for (const ControlDef& cd : def_.controls) {
    Control c;
    c.def = cd;
    c.items = parse_items(cd.from);
    c.format_text = cd.format;
    c.format = parse_format(cd.format);
    c.shown = cd.text;
    if (cd.type == ControlType::Sheet) c.choice = 1;  // a sheet opens on its first tab
    controls_.push_back(std::move(c));
  }
  hidden_ = false;
  bind(bindings);
}

void Window::bind(const std::vector<Binding>& bindings) {
  std::size_t next = 0;
  for (Control& c : controls_) {
    if (next == bindings.size()) break;
    if (!takes_value(c.def)) continue;
    const Binding& b = bindings[next++];
    bool list = c.def.type == ControlType::List;
    if (b.is_rows() != list) {
      throw std::invalid_argument("window " + def_.label + ": control " + c.def.label +
                                  (list ? " shows rows, not a variable" : " shows a variable, not rows"));
    }
    c.binding = b;
  }
  if (next < bindings.size()) {
    throw std::invalid_argument("window " + def_.label + ": more variables than controls that show one");
  }
}

Window::~Window() { close(); }

void Window::open() {
  if (open_) return;
  open_ = true;
  open_windows().push_back(this);
  for (Control& c : controls_) refresh(c);
  queue_.push_front({EVENT_OpenWindow, 0, 0});
  backend().opened(*this);
}

void Window::close() {
  if (!open_) return;
  open_ = false;
  auto& ws = open_windows();
  ws.erase(std::remove(ws.begin(), ws.end(), this), ws.end());
  queue_.clear();
  timer_queued_ = false;
  delivered_ = false;
  backend().closed(*this);
}

// ---- the event loop ----------------------------------------------------------------

bool Window::accept() {
  if (!open_) return false;
  if (delivered_) {
    delivered_ = false;
    if (!cycled_) default_handling(current_);
    if (!open_) return false;
  }
  cycled_ = false;
  if (queue_.empty() && (!backend().wait(*this) || queue_.empty())) {
    // Nothing will ever come: the window ends rather than waiting forever.
    if (open_) close();
    return false;
  }
  if (!open_) return false;
  current_ = queue_.front();
  queue_.pop_front();
  if (current_.event == EVENT_Timer) timer_queued_ = false;
  delivered_ = true;
  return true;
}

void Window::default_handling(const Event& e) {
  if (e.event == EVENT_CloseWindow) close();
}

void Window::post(int event, int control, int keycode) {
  if (!open_) return;
  if (event == EVENT_Timer) {
    post_timer();
    return;
  }
  queue_.push_back({event, control, keycode});
}

void Window::post_timer() {
  if (!open_ || timer_queued_) return;
  timer_queued_ = true;
  queue_.push_back({EVENT_Timer, 0, 0});
}

// ---- properties --------------------------------------------------------------------

std::string Window::property(int prop) const {
  switch (prop) {
    case PROP_Text: return caption_;
    case PROP_Timer: return text::int_text(timer_);
    case PROP_Hide: return flag(hidden_);
    case PROP_Iconize: return flag(iconized_);
    case PROP_Maximize: return flag(maximized_);
    case PROP_MinWidth: return text::int_text(min_width_);
    case PROP_MinHeight: return text::int_text(min_height_);
    case PROP_Handle: return text::int_text(handle_);
    case PROP_Xpos: return text::int_text(def_.at.x);
    case PROP_Ypos: return text::int_text(def_.at.y);
    case PROP_Width: return text::int_text(def_.at.width);
    case PROP_Height: return text::int_text(def_.at.height);
    case PROP_Icon: return def_.icon;
    case PROP_Resize: return flag(def_.resizable);
    case PROP_Visible: return flag(open_ && !hidden_);
    default: {
      auto it = other_.find(prop);
      return it == other_.end() ? std::string() : it->second;
    }
  }
}

void Window::set_property(int prop, std::string_view value) {
  switch (prop) {
    case PROP_Text: caption_ = value; break;
    case PROP_Timer:
      timer_ = std::max<std::int32_t>(0, text::to_long(value));
      if (open_) backend().timer_changed(*this);
      return;
    case PROP_Hide: hidden_ = flag(value); break;
    case PROP_Iconize: iconized_ = flag(value); break;
    case PROP_Maximize: maximized_ = flag(value); break;
    case PROP_MinWidth: min_width_ = text::to_long(value); break;
    case PROP_MinHeight: min_height_ = text::to_long(value); break;
    case PROP_Xpos: def_.at.x = text::to_long(value); break;
    case PROP_Ypos: def_.at.y = text::to_long(value); break;
    case PROP_Width: def_.at.width = text::to_long(value); break;
    case PROP_Height: def_.at.height = text::to_long(value); break;
    case PROP_Icon: def_.icon = value; break;
    case PROP_Handle:
    case PROP_Visible:
      return;  // read-only
    default: other_[prop] = value; return;
  }
  if (open_) backend().changed(*this, 0);
}

void Window::set_property(int prop, std::int64_t value) { set_property(prop, text::int_text(value)); }

std::string Window::property(int feq, int prop) const {
  const Control* c = find(feq);
  if (!c) return {};
  switch (prop) {
    case PROP_Text: return shows_value(c->def.type) ? c->shown : c->def.text;
    case PROP_Hide: return flag(c->def.hidden);
    case PROP_Disable: return flag(c->def.disabled);
    case PROP_ReadOnly: return flag(c->def.readonly);
    case PROP_Visible: return flag(open_ && !hidden_ && on_screen(feq));
    case PROP_Enabled: return flag(!c->def.disabled);
    case PROP_Tip: return c->def.tip;
    case PROP_Msg: return c->def.msg;
    case PROP_Icon: return c->def.icon;
    case PROP_Format: return c->format_text;
    case PROP_Selected: return text::int_text(c->choice);
    case PROP_Xpos: return text::int_text(c->def.at.x);
    case PROP_Ypos: return text::int_text(c->def.at.y);
    case PROP_Width: return text::int_text(c->def.at.width);
    case PROP_Height: return text::int_text(c->def.at.height);
    case PROPLIST_MouseDownField: return text::int_text(c->mouse_field);
    case PROPLIST_MouseDownRow: return text::int_text(c->mouse_row);
    default: {
      auto it = c->other.find(prop);
      return it == c->other.end() ? std::string() : it->second;
    }
  }
}

void Window::set_property(int feq, int prop, std::string_view value) {
  Control* c = find(feq);
  if (!c) return;
  switch (prop) {
    case PROP_Text:
      if (shows_value(c->def.type)) {
        c->shown = value;
      } else {
        c->def.text = value;
        c->shown = value;
      }
      break;
    case PROP_Hide: c->def.hidden = flag(value); break;
    case PROP_Disable: c->def.disabled = flag(value); break;
    case PROP_ReadOnly: c->def.readonly = flag(value); break;
    case PROP_Tip: c->def.tip = value; break;
    case PROP_Msg: c->def.msg = value; break;
    case PROP_Icon: c->def.icon = value; break;
    case PROP_From:
      c->def.from = value;
      c->items = parse_items(value);
      refresh(*c);
      break;
    case PROP_Format:
      c->format_text = value;
      c->format = parse_format(value);
      break;
    case PROP_Selected: c->choice = std::max<std::int32_t>(0, text::to_long(value)); break;
    case PROP_Xpos: c->def.at.x = text::to_long(value); break;
    case PROP_Ypos: c->def.at.y = text::to_long(value); break;
    case PROP_Width: c->def.at.width = text::to_long(value); break;
    case PROP_Height: c->def.at.height = text::to_long(value); break;
    case PROP_Visible:
    case PROP_Enabled:
    case PROPLIST_MouseDownField:
    case PROPLIST_MouseDownRow:
      return;  // read-only
    default: c->other[prop] = value; return;
  }
  if (open_) backend().changed(*this, feq);
}

void Window::set_property(int feq, int prop, std::int64_t value) { set_property(feq, prop, text::int_text(value)); }

// ---- controls ------------------------------------------------------------------------

Window::Control* Window::find(int feq) {
  if (feq < 1 || static_cast<std::size_t>(feq) > controls_.size()) return nullptr;
  return &controls_[static_cast<std::size_t>(feq - 1)];
}

const Window::Control* Window::find(int feq) const {
  if (feq < 1 || static_cast<std::size_t>(feq) > controls_.size()) return nullptr;
  return &controls_[static_cast<std::size_t>(feq - 1)];
}

const ControlDef* Window::control(int feq) const {
  const Control* c = find(feq);
  return c ? &c->def : nullptr;
}

std::string Window::shown(int feq) const {
  const Control* c = find(feq);
  return c ? c->shown : std::string();
}

bool Window::checked(int feq) const {
  const Control* c = find(feq);
  if (!c || c->def.type != ControlType::Check) return false;
  return c->binding ? text::to_number(c->binding->get()) != 0 : c->on;
}

int Window::choice(int feq) const {
  const Control* c = find(feq);
  return c ? c->choice : 0;
}

const std::vector<DropItem>& Window::items(int feq) const {
  const Control* c = find(feq);
  return c ? c->items : kNoItems;
}

const ListFormat& Window::list_format(int feq) const {
  const Control* c = find(feq);
  return c ? c->format : kNoFormat;
}

std::size_t Window::list_rows(int feq) const {
  const Control* c = find(feq);
  if (!c || !c->binding || !c->binding->rows()) return 0;
  return c->binding->rows()->rows();
}

std::string Window::list_cell(int feq, std::size_t row, std::size_t column) const {
  const Control* c = find(feq);
  if (!c || !c->binding || !c->binding->rows()) return {};
  if (column < 1 || column > c->format.columns.size()) return {};
  RowSource& rows = *c->binding->rows();
  if (!rows.load(row)) return {};
  const ListColumn& col = c->format.columns[column - 1];
  return show(rows.cell(static_cast<std::size_t>(col.field)), col.picture);
}

std::vector<std::string> Window::list_row(int feq, std::size_t row) const {
  const Control* c = find(feq);
  return c ? list_cells(feq, row, 1, c->format.columns.size()) : std::vector<std::string>();
}

std::vector<std::string> Window::list_cells(int feq, std::size_t row, std::size_t first, std::size_t last) const {
  const Control* c = find(feq);
  if (!c || !c->binding || !c->binding->rows()) return {};
  first = std::max<std::size_t>(first, 1);
  last = std::min(last, c->format.columns.size());
  if (first > last) return {};
  RowSource& rows = *c->binding->rows();
  std::vector<std::string> cells(last - first + 1);
  if (!rows.load(row)) return cells;
  for (std::size_t k = first; k <= last; ++k) {
    const ListColumn& col = c->format.columns[k - 1];
    cells[k - first] = show(rows.cell(static_cast<std::size_t>(col.field)), col.picture);
  }
  return cells;
}

void Window::refresh(Control& c) {
  if (!c.binding) return;
  switch (c.def.type) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::String:
      c.shown = show(c.binding->get(), c.def.picture);
      break;
    case ControlType::Combo:
    case ControlType::DropList: {
      std::string v = c.binding->get();
      c.choice = 0;
      for (std::size_t i = 0; i < c.items.size(); ++i) {
        if (text::same(c.items[i].value, v)) {
          c.choice = static_cast<int>(i + 1);
          break;
        }
      }
      if (c.def.type == ControlType::Combo) {
        c.shown = show(v, c.def.picture);
      } else {
        c.shown = c.choice ? c.items[static_cast<std::size_t>(c.choice - 1)].text : std::string();
      }
      break;
    }
    case ControlType::List: {
      std::size_t rows = c.binding->rows() ? c.binding->rows()->rows() : 0;
      if (static_cast<std::size_t>(c.choice) > rows) c.choice = static_cast<int>(rows);
      break;
    }
    default:
      break;
  }
}

void Window::store(Control& c, std::string_view value) {
  if (c.binding) {
    c.binding->set(value);
    refresh(c);
  } else {
    c.shown = value;
  }
}

void Window::display() { display(1, static_cast<int>(controls_.size())); }

void Window::display(int first, int last) {
  if (last < first) last = first;
  for (int f = std::max(1, first); f <= last && static_cast<std::size_t>(f) <= controls_.size(); ++f) {
    refresh(controls_[static_cast<std::size_t>(f - 1)]);
  }
  if (open_) backend().changed(*this, 0);
}

void Window::select(int feq, int position) {
  Control* c = find(feq);
  if (!c) return;
  focus_ = feq;
  if (position > 0 && c->def.type == ControlType::List) c->choice = position;
  if (open_) backend().selected(*this, feq);
}

// ---- the user's input ------------------------------------------------------------------

bool Window::takes_input(const Control* c) const {
  return c && open_ && !hidden_ && !c->def.disabled && on_screen(static_cast<int>(c - controls_.data()) + 1);
}

bool Window::on_screen(int feq) const {
  // Up through the parents: every one shown, and a tab the chosen one of its sheet.
  for (int guard = 0; guard < 64; ++guard) {
    const Control* c = find(feq);
    if (!c) return true;
    if (c->def.hidden) return false;
    if (c->def.type == ControlType::Tab) {
      const Control* sheet = find(c->def.parent);
      if (sheet && sheet->def.type == ControlType::Sheet) {
        int index = 0;
        for (int f = c->def.parent + 1; f <= feq; ++f) {
          const Control* t = find(f);
          if (t->def.type == ControlType::Tab && t->def.parent == c->def.parent) ++index;
        }
        if (sheet->choice != index) return false;
      }
    }
    if (c->def.parent == 0 || c->def.parent == feq) return true;
    feq = c->def.parent;
  }
  return true;
}

void Window::alert(int feq, int key) {
  std::vector<int>& alerts = feq == 0 ? def_.alerts : (find(feq) ? find(feq)->def.alerts : def_.alerts);
  if (feq != 0 && !find(feq)) return;
  if (std::find(alerts.begin(), alerts.end(), key) == alerts.end()) alerts.push_back(key);
}

std::string Window::status_text() const {
  const Control* c = find(focus_);
  return c ? c->def.msg : std::string();
}

bool Window::user_press(int feq) {
  Control* c = find(feq);
  if (!takes_input(c) || c->def.type != ControlType::Button) return false;
  focus_ = feq;
  post(EVENT_Accepted, feq);
  return true;
}

bool Window::user_type(int feq, std::string_view value) {
  Control* c = find(feq);
  if (!takes_input(c) || c->def.readonly) return false;
  ControlType t = c->def.type;
  if (t != ControlType::Entry && t != ControlType::Text && t != ControlType::Combo) return false;
  focus_ = feq;
  store(*c, value);
  post(EVENT_Accepted, feq);
  return true;
}

bool Window::user_check(int feq, bool on) {
  Control* c = find(feq);
  if (!takes_input(c) || c->def.readonly || c->def.type != ControlType::Check) return false;
  focus_ = feq;
  if (c->binding) {
    c->binding->set(on ? "1" : "0");
  } else {
    c->on = on;
  }
  post(EVENT_Accepted, feq);
  return true;
}

bool Window::user_choose(int feq, int item) {
  Control* c = find(feq);
  if (!takes_input(c) || c->def.readonly) return false;
  ControlType t = c->def.type;
  if (t == ControlType::Sheet) {
    if (item < 1) return false;
    focus_ = feq;
    c->choice = item;
    post(EVENT_NewSelection, feq);
    return true;
  }
  if (t != ControlType::DropList && t != ControlType::Combo) return false;
  if (item < 1 || static_cast<std::size_t>(item) > c->items.size()) return false;
  focus_ = feq;
  const DropItem& it = c->items[static_cast<std::size_t>(item - 1)];
  store(*c, it.value);
  c->choice = item;
  c->shown = t == ControlType::DropList ? it.text : show(it.value, c->def.picture);
  post(EVENT_NewSelection, feq);
  post(EVENT_Accepted, feq);
  return true;
}

bool Window::mouse_on_row(int feq, std::size_t row, int column) {
  Control* c = find(feq);
  if (!takes_input(c) || c->def.type != ControlType::List) return false;
  if (row < 1 || row > list_rows(feq)) return false;
  focus_ = feq;
  bool inside = column >= 1 && static_cast<std::size_t>(column) <= c->format.columns.size();
  c->mouse_field = inside ? column : 0;
  c->mouse_row = static_cast<int>(row);
  return true;
}

bool Window::user_click(int feq, std::size_t row, int column, bool twice) {
  if (!mouse_on_row(feq, row, column)) return false;
  Control* c = find(feq);
  c->choice = static_cast<int>(row);
  int key = twice ? MouseLeft2 : MouseLeft;
  post(EVENT_NewSelection, feq, key);
  if (twice) {
    // An alerted double-click is the program's to act on, as an alerted key is.
    bool alerted = std::find(c->def.alerts.begin(), c->def.alerts.end(), key) != c->def.alerts.end() ||
                   std::find(def_.alerts.begin(), def_.alerts.end(), key) != def_.alerts.end();
    post(alerted ? EVENT_AlertKey : EVENT_Accepted, feq, key);
  }
  return true;
}

bool Window::user_right_click(int feq, std::size_t row, int column) {
  if (!mouse_on_row(feq, row, column)) return false;
  const std::vector<int>& alerts = find(feq)->def.alerts;
  if (std::find(alerts.begin(), alerts.end(), MouseRightUp) != alerts.end()) post(EVENT_AlertKey, feq, MouseRightUp);
  return true;
}

bool Window::alert_key(int feq, int key, char ch) {
  if (feq == 0) feq = focus_;
  Control* c = find(feq);
  bool alerted = std::find(def_.alerts.begin(), def_.alerts.end(), key) != def_.alerts.end();
  if (c) alerted = alerted || std::find(c->def.alerts.begin(), c->def.alerts.end(), key) != c->def.alerts.end();
  if (!alerted || !open_ || hidden_ || (c && !takes_input(c))) return false;
  queue_.push_back({EVENT_AlertKey, c ? feq : 0, key, ch});
  return true;
}

bool Window::user_key(int feq, int key) { return alert_key(feq, key, 0); }

bool Window::user_char(int feq, char ch) {
  if (feq == 0) feq = focus_;
  if (!alert_key(feq, char_keycode(ch), ch)) return false;
  if (find(feq)) focus_ = feq;
  return true;
}

bool Window::user_enter() {
  Control* c = find(default_button_);
  if (!takes_input(c) || c->def.type != ControlType::Button) return false;
  post(EVENT_Accepted, default_button_, EnterKey);
  return true;
}

bool Window::user_close() {
  if (!open_ || hidden_) return false;
  post(EVENT_CloseWindow);
  return true;
}

bool Window::user_highlight(int feq, std::size_t row, int keycode) {
  Control* c = find(feq);
  if (!takes_input(c) || c->def.type != ControlType::List) return false;
  if (row < 1 || row > list_rows(feq)) return false;
  focus_ = feq;
  c->choice = static_cast<int>(row);
  post(EVENT_NewSelection, feq, keycode);
  return true;
}

void Window::post_once(int event) {
  if (std::none_of(queue_.begin(), queue_.end(), [&](const Event& e) { return e.event == event; })) post(event);
}

bool Window::user_moved(int x, int y) {
  if (!open_) return false;
  def_.at.x = x;
  def_.at.y = y;
  post_once(EVENT_Moved);
  return true;
}

bool Window::user_sized(int width, int height) {
  if (!open_) return false;
  def_.at.width = width;
  def_.at.height = height;
  post_once(EVENT_Sized);
  return true;
}

bool Window::user_state(bool iconized, bool maximized) {
  if (!open_ || (iconized == iconized_ && maximized == maximized_)) return false;
  iconized_ = iconized;
  maximized_ = maximized;
  post(iconized ? EVENT_Iconized : maximized ? EVENT_Maximized : EVENT_Restored);
  return true;
}

// ---- the runtime's functions -------------------------------------------------------------

Window* current() {
  auto& ws = open_windows();
  return ws.empty() ? nullptr : ws.back();
}

bool accept() {
  Window* w = current();
  return w && w->accept();
}

void cycle() {
  if (Window* w = current()) w->cycle();
}

int event() {
  Window* w = current();
  return w ? w->current_event().event : 0;
}

int field() {
  Window* w = current();
  return w ? w->current_event().field : 0;
}

int accepted() {
  Window* w = current();
  return w && w->current_event().event == EVENT_Accepted ? w->current_event().field : 0;
}

int keycode() {
  Window* w = current();
  return w ? w->current_event().keycode : 0;
}

char keychar() {
  Window* w = current();
  return w ? w->current_event().keychar : 0;
}

int choice() {
  Window* w = current();
  return w ? w->choice(w->focus()) : 0;
}

int choice(int control) {
  Window* w = current();
  return w ? w->choice(control) : 0;
}

void post(int event, int control) {
  if (Window* w = current()) w->post(event, control);
}

void display() {
  if (Window* w = current()) w->display();
}

void select(int control, int position) {
  if (Window* w = current()) w->select(control, position);
}

namespace {
std::size_t shown_messages = 0;
}  // namespace

std::size_t messages_shown() { return shown_messages; }

int popup(std::string_view items) {
  PopupRequest r;
  r.items = items;
  return backend().popup(r);
}

int message(std::string_view text, std::string_view caption, Icon icon, int buttons, int default_button) {
  ++shown_messages;
  MessageRequest r;
  r.text = text;
  r.caption = caption;
  r.icon = icon;
  r.buttons = (buttons & 0xFF) ? (buttons & 0xFF) : BUTTON_OK;
  bool single = default_button > 0 && (default_button & (default_button - 1)) == 0;
  r.default_button = single && (default_button & r.buttons) ? default_button : (r.buttons & -r.buttons);
  return backend().message(r);
}

bool filedialog(std::string_view title, std::string& file, std::string_view extensions, int flags) {
  FileRequest r;
  r.title = title;
  r.file = file;
  r.extensions = extensions;
  r.flags = flags;
  std::string chosen;
  if (!backend().file_dialog(r, chosen)) return false;
  file = chosen;
  // As the runtime's dialog does, a chosen file's directory becomes the current
  // one unless FILE:KeepDir; the caller's error state is not the dialog's business.
  std::size_t slash = chosen.find_last_of("\\/");
  if (!(flags & (FILE_KeepDir | FILE_Directory)) && slash != std::string::npos) {
    int code = files::error_code();
    std::string driver_code = files::file_error_code(), driver_text = files::file_error();
    files::setpath(slash == 0 ? chosen.substr(0, 1) : chosen.substr(0, slash));
    if (code == 0) {
      files::clear_error();
    } else {
      files::set_driver_error(code, driver_code, driver_text);
    }
  }
  return true;
}

void setclipboard(std::string_view text) { backend().set_clipboard(text); }
std::string clipboard() { return backend().clipboard(); }
void open_document(std::int64_t owner_handle, std::string_view file) { backend().open_document(owner_handle, file); }

namespace {
std::int64_t tip_delay = 0;
std::int64_t tip_display = 0;
}  // namespace

std::string system_property(int prop) {
  if (prop == PROP_TipDelay) return text::int_text(tip_delay);
  if (prop == PROP_TipDisplay) return text::int_text(tip_display);
  return {};
}

void set_system_property(int prop, std::int64_t value) {
  if (prop == PROP_TipDelay) tip_delay = value;
  if (prop == PROP_TipDisplay) tip_display = value;
}

}  // namespace window
