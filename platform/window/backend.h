// The one interface between the window model and what shows it: a backend
// draws windows, waits for the user and the timers, and shows the modal boxes.
// The model (window.h) owns every window's state and event queue; a backend
// turns what the user does into the model's user_* operations and queues timer
// events with Window::post_timer(). The headless backend is the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window/equates.h"

namespace window {

class Window;

struct MessageRequest {
  std::string text;      // "|" starts a new line
  std::string caption;
  Icon icon = Icon::None;
  int buttons = BUTTON_OK;  // a sum of BUTTON_ values
  int default_button = 0;   // resolved: always one of `buttons`
};

struct FileRequest {
  std::string title;
  std::string file;        // the file variable's text: the proposed name
  std::string extensions;  // "description|mask|description|mask"
  int flags = 0;           // FILE_ values
};

class Backend {
 public:
  virtual ~Backend() = default;

  // The window became visible (or its whole state changed); it is closed.
  virtual void opened(Window& w) = 0;
  virtual void closed(Window& w) = 0;
  // A control (0: the window itself) must be drawn again from the model.
  virtual void changed(Window& w, int control) = 0;
  // SELECT: the control (0: the window) takes the focus.
  virtual void selected(Window&, int) {}
  // The window's timer period was set (PROP:Timer); 0 stops it.
  virtual void timer_changed(Window& w) = 0;
  // Called when the window's event queue is empty and its loop waits: returns
  // once the queue holds an event, or false when none will ever come.
  virtual bool wait(Window& w) = 0;

  // The modal boxes; each returns what the user chose.
  virtual int message(const MessageRequest& request) = 0;
  // True with the chosen name (a folder for FILE_Directory) in `chosen`.
  virtual bool file_dialog(const FileRequest& request, std::string& chosen) = 0;

  virtual void set_clipboard(std::string_view text) = 0;
  virtual std::string clipboard() = 0;
  // Opens the file in the program associated with its type; no result.
  virtual void open_document(std::int64_t owner_handle, std::string_view file) = 0;
};

// The question a save dialog asks before it replaces the chosen file that
// exists; every backend asks it through message(), and "No" shows the dialog again.
MessageRequest overwrite_question(const FileRequest& request, std::string_view chosen);

// The backend every window uses; the headless one unless another was installed.
Backend& backend();
// Installs a backend (not owned; it must outlive the windows); nullptr returns
// to the headless backend.
void set_backend(Backend* b);

}  // namespace window
