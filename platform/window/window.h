// The window model and its event loop: a window created from its definition
// with the variables bound to its controls, its properties, its own event
// queue and ACCEPT, which nests (a handler may run another ACCEPT on the same
// window or open a second window and run its loop). Every window lives on the
// program's main thread. What draws the windows and brings the user's input is
// the backend (backend.h); the model is the same for every backend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/binding.h"
#include "platform/window/definition.h"
#include "platform/window/equates.h"

namespace window {

struct Event {
  int event = 0;    // EVENT_ value
  int field = 0;    // the control it concerns; 0 for field-independent events
  int keycode = 0;  // the key or mouse code that caused it, if any
  char keychar = 0; // KEYCHAR(): the character a typed key gives (its case kept); 0 none
};

class Window {
 public:
  // Binds the variables, in order, to the controls that take a value
  // (takes_value()); a list takes a row source. Missing variables leave the
  // last controls unbound; a row source for a value control, a variable for a
  // list, or more variables than such controls are refused (std::invalid_argument).
  Window(const WindowDef& def, std::initializer_list<Binding> bindings = {});
  Window(const WindowDef& def, const std::vector<Binding>& bindings);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Shows the window, makes it the current one, queues EVENT:OpenWindow and
  // starts its timer. Unless it is hidden, every control shows its variable.
  void open();
  // Ends every loop of the window; its state stays readable.
  void close();
  bool is_open() const { return open_; }
  const std::string& label() const { return def_.label; }
  std::int64_t handle() const { return handle_; }

  // ---- the event loop ----
  // One pass of ACCEPT: first the default handling of the event delivered last
  // (a close request closes the window) unless cycle() was called for it, then
  // the next event. False when the window is closed: the loop ends.
  bool accept();
  // CYCLE: the event just delivered gets no default handling.
  void cycle() { cycled_ = true; }
  const Event& current_event() const { return current_; }
  void post(int event, int control = 0, int keycode = 0);
  // Queues EVENT:Timer unless one is already waiting: timer events never pile up.
  void post_timer();
  bool has_events() const { return !queue_.empty(); }

  // ---- properties: window{PROP:x} and ?control{PROP:x} ----
  std::string property(int prop) const;
  void set_property(int prop, std::string_view value);
  void set_property(int prop, std::int64_t value);
  std::string property(int control, int prop) const;
  void set_property(int control, int prop, std::string_view value);
  void set_property(int control, int prop, std::int64_t value);

  std::string caption() const { return caption_; }
  int timer() const { return timer_; }
  bool hidden() const { return hidden_; }
  bool iconized() const { return iconized_; }

  // ---- controls, by field number (1-based; out of range: an empty answer) ----
  std::size_t controls() const { return controls_.size(); }
  const ControlDef* control(int feq) const;
  // The text the control shows: an entry its text, a drop list the text of the
  // chosen item, a check box or button its caption, a list nothing.
  std::string shown(int feq) const;
  bool checked(int feq) const;
  // CHOICE(control): the chosen row of a list, item of a drop list or tab of a
  // sheet (1-based; 0 none).
  int choice(int feq) const;
  const std::vector<DropItem>& items(int feq) const;
  const ListFormat& list_format(int feq) const;
  std::size_t list_rows(int feq) const;
  // The text of a list's column (1-based, as in its FORMAT) in a row (1-based).
  std::string list_cell(int feq, std::size_t row, std::size_t column) const;
  // Every column of a row, in FORMAT order.
  std::vector<std::string> list_row(int feq, std::size_t row) const;
  // Columns first to last (1-based, cut to the FORMAT) of a row, read at once.
  std::vector<std::string> list_cells(int feq, std::size_t row, std::size_t first, std::size_t last) const;
  // DISPLAY: every control (or those from first to last) shows its variable again.
  void display();
  void display(int first, int last = 0);
  // SELECT(control [, position]): the control gets the focus; a position picks
  // a list's row.
  void select(int feq, int position = 0);
  int focus() const { return focus_; }
  // ALERT on a control (0: the whole window) at run time.
  void alert(int feq, int keycode);
  // The default button, which Enter presses (0 none).
  void set_default_button(int feq) { default_button_ = feq; }
  int default_button() const { return default_button_; }
  // The status bar: the message (PROP:Msg) of the control with the focus.
  std::string status_text() const;
  bool has_status_bar() const { return def_.status_bar; }
  // Whether a control is shown: not hidden, and on its sheet's chosen tab if
  // it stands on one.
  bool on_screen(int feq) const;

  // ---- what the user does; backends and the scripted user call these ----
  // Each returns false, doing nothing, when the control cannot take it (no such
  // control, another type, hidden, disabled or read-only, or a hidden window).
  bool user_press(int feq);                       // a button: EVENT:Accepted
  bool user_type(int feq, std::string_view text);  // entry, text, combo: stored, Accepted
  bool user_check(int feq, bool on);              // check box: 1 or 0 stored, Accepted
  bool user_choose(int feq, int item);            // drop list, combo, sheet: NewSelection, Accepted
  // A list row: NewSelection; the second press of a double-click then also
  // Accepted, or AlertKey when MouseLeft2 is alerted.
  bool user_click(int feq, std::size_t row, int column, bool twice = false);
  bool user_key(int feq, int keycode);            // an alerted key: EVENT:AlertKey
  // A character typed on a control (0: the one with the focus): an alerted
  // key, with the character as KEYCHAR() and its letter's key code.
  bool user_char(int feq, char c);
  bool user_enter();                              // Enter: the default button is pressed
  // A right click on a list's row: the row becomes the one under the mouse
  // and, if alerted, EVENT:AlertKey with MouseRightUp follows.
  bool user_right_click(int feq, std::size_t row, int column);
  bool user_close();                              // the close box: EVENT:CloseWindow
  // A key moved a list's highlight to the row: NewSelection with the key's code;
  // the mouse fields keep the last click.
  bool user_highlight(int feq, std::size_t row, int keycode);
  // The user moved or sized the window (dialog units): the position and size
  // properties answer it, and one EVENT:Moved / EVENT:Sized waits at a time, so
  // a drag does not pile them up. The window's own state changes (iconised,
  // maximised, restored) likewise queue EVENT:Iconized / Maximized / Restored.
  bool user_moved(int x, int y);
  bool user_sized(int width, int height);
  bool user_state(bool iconized, bool maximized);

 private:
  struct Control {
    ControlDef def;
    std::vector<DropItem> items;
    std::string format_text;
    ListFormat format;
    std::optional<Binding> binding;
    std::string shown;
    int choice = 0;
    int mouse_field = 0;
    int mouse_row = 0;
    bool on = false;  // an unbound check box's state
    std::map<int, std::string> other;  // properties the model keeps without acting on them
  };

  void bind(const std::vector<Binding>& bindings);
  Control* find(int feq);
  const Control* find(int feq) const;
  bool takes_input(const Control* c) const;
  // The mouse on a list's row (column, row noted, focus); false when it cannot be.
  bool mouse_on_row(int feq, std::size_t row, int column);
  // EVENT:AlertKey when the key is alerted on the control or the window.
  bool alert_key(int feq, int key, char ch);
  void refresh(Control& c);
  void store(Control& c, std::string_view value);
  void default_handling(const Event& e);
  void post_once(int event);

  WindowDef def_;
  std::vector<Control> controls_;
  std::int64_t handle_;
  std::string caption_;
  int timer_ = 0;
  bool open_ = false;
  bool hidden_ = false;
  bool iconized_ = false;
  bool maximized_ = false;
  int min_width_ = 0;
  int min_height_ = 0;
  int focus_ = 0;
  int default_button_ = 0;
  std::map<int, std::string> other_;

  std::deque<Event> queue_;
  bool timer_queued_ = false;
  Event current_;
  bool delivered_ = false;  // current_ awaits its default handling
  bool cycled_ = false;
};

// ---- the runtime's functions on the current window -------------------------------

// The window opened last that is still open; nullptr when there is none.
Window* current();
// ACCEPT on the current window; false (the loop ends) when there is none.
bool accept();
void cycle();
int event();
int field();
// The control of an EVENT:Accepted being handled, else 0.
int accepted();
int keycode();
char keychar();
// CHOICE(): of the control with the focus; CHOICE(control).
int choice();
int choice(int control);
// POST(event [, control]) to the current window.
void post(int event, int control = 0);
void display();
void select(int control, int position = 0);

// MESSAGE(text, caption, icon, buttons, default): the button chosen. A default
// that is not among the buttons (or 0) means the first of them.
int message(std::string_view text, std::string_view caption = {}, Icon icon = Icon::None,
            int buttons = BUTTON_OK, int default_button = 0);
// POPUP(items) (backend.h, PopupRequest): the item chosen, 0 none.
int popup(std::string_view items);
// How many message boxes the process has shown, on any backend.
std::size_t messages_shown();
// FILEDIALOG(title, file, extensions, flags): true with the chosen name in `file`.
bool filedialog(std::string_view title, std::string& file, std::string_view extensions = {}, int flags = 0);
void setclipboard(std::string_view text);
std::string clipboard();
// Opens the file in the program associated with its type; nothing is reported.
void open_document(std::int64_t owner_handle, std::string_view file);

// SYSTEM{PROP:x}: PROP_TipDelay and PROP_TipDisplay (hundredths of a second),
// kept for every window of the process.
std::string system_property(int prop);
void set_system_property(int prop, std::int64_t value);

}  // namespace window
