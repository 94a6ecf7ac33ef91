#include "platform/window/headless.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace window {

namespace {
Backend* installed = nullptr;

bool one_button(int b) { return b > 0 && (b & (b - 1)) == 0; }
}  // namespace

Backend& backend() { return installed ? *installed : headless(); }

MessageRequest overwrite_question(const FileRequest& request, std::string_view chosen) {
  MessageRequest ask;
  ask.text = std::string(chosen) + " already exists.|Do you want to replace it?";
  ask.caption = request.title;
  ask.icon = Icon::Exclamation;
  ask.buttons = BUTTON_YES + BUTTON_NO;
  ask.default_button = BUTTON_NO;
  return ask;
}
void set_backend(Backend* b) { installed = b; }

Headless& headless() {
  static Headless instance;
  return instance;
}

// ---- the script -----------------------------------------------------------------------

Headless& Headless::add(std::string what, std::function<bool(Window&)> act) {
  steps_.push_back({pending_pause_, std::move(what), std::move(act)});
  pending_pause_ = 0;
  return *this;
}

Headless& Headless::pause(std::int64_t hundredths) {
  pending_pause_ += std::max<std::int64_t>(0, hundredths);
  return *this;
}

Headless& Headless::press(int control) {
  return add("press " + std::to_string(control), [=](Window& w) { return w.user_press(control); });
}

Headless& Headless::type(int control, std::string value) {
  return add("type into " + std::to_string(control),
             [=, v = std::move(value)](Window& w) { return w.user_type(control, v); });
}

Headless& Headless::check(int control, bool on) {
  return add("check " + std::to_string(control), [=](Window& w) { return w.user_check(control, on); });
}

Headless& Headless::choose(int control, int item) {
  return add("choose item " + std::to_string(item) + " of " + std::to_string(control),
             [=](Window& w) { return w.user_choose(control, item); });
}

Headless& Headless::click(int list, std::size_t row, int column) {
  return add("click row " + std::to_string(row) + " of " + std::to_string(list),
             [=](Window& w) { return w.user_click(list, row, column); });
}

Headless& Headless::double_click(int list, std::size_t row, int column) {
  return add("double-click row " + std::to_string(row) + " of " + std::to_string(list),
             [=](Window& w) { return w.user_click(list, row, column) && w.user_click(list, row, column, true); });
}

namespace {

// The rows a list shows at once.
std::int64_t page_rows(const Window& w, int list) {
  std::int64_t items = text::to_long(w.property(list, PROP_Items));
  if (items > 0) return items;
  const ControlDef* c = w.control(list);
  return std::max<std::int64_t>(1, c->at.height / 10 - 1);
}

}  // namespace

Headless& Headless::list_key(int list, int keycode) {
  return add("list key " + std::to_string(keycode) + " on " + std::to_string(list), [=](Window& w) {
    const ControlDef* c = w.control(list);
    if (!c || c->type != ControlType::List) return false;
    const std::int64_t rows = static_cast<std::int64_t>(w.list_rows(list));
    const std::int64_t now = w.choice(list);
    std::int64_t to = now;
    switch (keycode) {
      case UpKey: to = now - 1; break;
      case DownKey: to = now + 1; break;
      case PgUpKey: to = now - page_rows(w, list); break;
      case PgDnKey: to = now + page_rows(w, list); break;
      case HomeKey: to = 1; break;
      case EndKey: to = rows; break;
      default: return false;
    }
    to = std::clamp<std::int64_t>(to, std::min<std::int64_t>(1, rows), rows);
    if (to == now || to < 1) return w.property(list, PROP_Visible) == "1" && w.property(list, PROP_Enabled) == "1";
    return w.user_highlight(list, static_cast<std::size_t>(to), keycode);
  });
}

Headless& Headless::key(int control, int keycode) {
  return add("key " + std::to_string(keycode) + " on " + std::to_string(control),
             [=](Window& w) { return w.user_key(control, keycode); });
}

Headless& Headless::close_request() {
  return add("close request", [](Window& w) { return w.user_close(); });
}

Headless& Headless::type_keys(int control, std::string chars) {
  return add("type keys on " + std::to_string(control), [=, c = std::move(chars)](Window& w) {
    bool all = true;
    for (char ch : c) all = w.user_char(control, ch) && all;
    return all;
  });
}

Headless& Headless::enter() {
  return add("enter", [](Window& w) { return w.user_enter(); });
}

Headless& Headless::right_click(int list, std::size_t row, int column) {
  return add("right-click row " + std::to_string(row) + " of " + std::to_string(list),
             [=](Window& w) { return w.user_right_click(list, row, column); });
}

Headless& Headless::answer_popup(int item) {
  popup_answers_.push_back(item);
  return *this;
}

Headless& Headless::then(std::function<void(Window&)> step) {
  return add("test step", [s = std::move(step)](Window& w) {
    s(w);
    return true;
  });
}

Headless& Headless::answer(int button) {
  answers_.push_back(button);
  return *this;
}

Headless& Headless::answer_file(std::string chosen) {
  file_answers_.emplace_back(std::move(chosen));
  return *this;
}

Headless& Headless::cancel_file() {
  file_answers_.emplace_back(std::nullopt);
  return *this;
}

void Headless::reset() {
  steps_.clear();
  pending_pause_ = 0;
  last_step_ = 0;
  answers_.clear();
  file_answers_.clear();
  popup_answers_.clear();
  popups_.clear();
  messages_.clear();
  dialogs_.clear();
  documents_.clear();
  refused_.clear();
  clipboard_.clear();
  now_ = 0;
  for (Slot& s : slots_) {
    s.due = s.window->timer();
    s.close_sent = false;
  }
}

// ---- windows and time --------------------------------------------------------------

Headless::Slot* Headless::slot(Window& w) {
  for (Slot& s : slots_) {
    if (s.window == &w) return &s;
  }
  return nullptr;
}

void Headless::opened(Window& w) { slots_.push_back({&w, now_ + w.timer(), false}); }

void Headless::closed(Window& w) {
  slots_.erase(std::remove_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.window == &w; }),
               slots_.end());
}

void Headless::timer_changed(Window& w) {
  if (Slot* s = slot(w)) s->due = now_ + w.timer();
}

bool Headless::wait(Window& w) {
  for (;;) {
    Slot* s = slot(w);
    if (!s) return false;
    bool has_step = !steps_.empty();
    bool has_timer = w.timer() > 0;
    if (!has_step && !has_timer) {
      // Nobody will act on this window again: it is asked to close once.
      if (s->close_sent) return false;
      s->close_sent = true;
      w.post(EVENT_CloseWindow);
      return true;
    }
    std::int64_t step_due = has_step ? last_step_ + steps_.front().pause : 0;
    bool take_step = has_step && (!has_timer || step_due <= s->due);
    now_ = std::max(now_, take_step ? step_due : s->due);
    for (Slot& o : slots_) {
      if (o.window->timer() > 0 && o.due <= now_) {
        o.window->post_timer();
        o.due = now_ + o.window->timer();
      }
    }
    if (take_step) {
      Step step = std::move(steps_.front());
      steps_.pop_front();
      last_step_ = now_;
      if (!step.act(w)) refused_.push_back(step.what + " (window " + w.label() + ")");
    }
    if (w.has_events()) return true;
  }
}

// ---- modal boxes and the shell ------------------------------------------------------

int Headless::message(const MessageRequest& request) {
  ShownMessage m{request, request.default_button, false};
  if (!answers_.empty()) {
    int a = answers_.front();
    answers_.pop_front();
    m.scripted = true;
    if (one_button(a) && (a & request.buttons)) m.answer = a;
  } else {
    // One line per box, so a script can read the messages line by line: the
    // box's line breaks ("|", CR LF) become blanks.
    std::string body;
    for (std::size_t i = 0; i < request.text.size(); ++i) {
      const char c = request.text[i];
      if (c == '\r' && i + 1 < request.text.size() && request.text[i + 1] == '\n') continue;
      body += (c == '|' || c == '\r' || c == '\n') ? ' ' : c;
    }
    std::cerr << request.caption << ": " << body << '\n';
  }
  messages_.push_back(m);
  return m.answer;
}

bool Headless::file_dialog(const FileRequest& request, std::string& chosen) {
  for (;;) {
    ShownDialog d{request, std::nullopt};
    if (!file_answers_.empty()) {
      d.answer = file_answers_.front();
      file_answers_.pop_front();
    }
    dialogs_.push_back(d);
    if (!d.answer) return false;
    // A save dialog asks before it overwrites; "No" shows the dialog again.
    bool save = (request.flags & (FILE_Save | FILE_Directory)) == FILE_Save;
    std::error_code ec;
    if (save && std::filesystem::exists(files::os_path(*d.answer), ec)) {
      if (message(overwrite_question(request, *d.answer)) != BUTTON_YES) continue;
    }
    chosen = *d.answer;
    return true;
  }
}

int Headless::popup(const PopupRequest& request) {
  ShownPopup p{request.items, 0};
  if (!popup_answers_.empty()) {
    p.answer = popup_answers_.front();
    popup_answers_.pop_front();
  }
  // A disabled item or one past the end cannot be chosen: the menu is dismissed.
  int n = 0;
  bool choosable = false;
  std::size_t from = 0;
  while (from <= request.items.size()) {
    std::size_t bar = request.items.find('|', from);
    if (bar == std::string::npos) bar = request.items.size();
    std::string_view item(request.items.data() + from, bar - from);
    if (item != "-" && ++n == p.answer) choosable = !item.starts_with('~');
    from = bar + 1;
  }
  if (!choosable) p.answer = 0;
  popups_.push_back(p);
  return p.answer;
}

void Headless::open_document(std::int64_t, std::string_view file) { documents_.emplace_back(file); }

}  // namespace window
