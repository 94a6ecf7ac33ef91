// The headless backend: windows without a display, for the tests and for an
// unattended run on a machine without one. Time is virtual: when a loop waits
// and nothing is queued, the clock jumps to the next thing due (the user's next
// scripted step or the window's timer), so a paced loop runs at full speed.
// The user is a script: steps queued in advance, each taken when a loop of the
// window in front waits, after the pause given before it. A window whose loop
// waits with no timer and no step left gets one close request, and its loop
// ends if it is still waiting after that. Message boxes and file dialogs take
// their scripted answers; a message box that none answers is written to
// standard error as one line "caption: text" (its line breaks made blanks)
// and gets its default button; a file dialog that none answers is cancelled.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/backend.h"

namespace window {

class Headless final : public Backend {
 public:
  struct ShownMessage {
    MessageRequest request;
    int answer = 0;
    bool scripted = false;  // false: written to standard error, default button taken
  };
  struct ShownDialog {
    FileRequest request;
    std::optional<std::string> answer;  // none: cancelled
  };

  // ---- the scripted user (each returns *this to chain steps) ----
  // The next step waits this many hundredths of a second after the one before.
  Headless& pause(std::int64_t hundredths);
  Headless& press(int control);
  Headless& type(int control, std::string text);
  Headless& check(int control, bool on);
  Headless& choose(int control, int item);
  Headless& click(int list, std::size_t row, int column);
  // Both presses of a double-click: a click, then the second press.
  Headless& double_click(int list, std::size_t row, int column);
  Headless& key(int control, int keycode);
  // A key that moves a list's highlight, as the system's list moves it: Up and
  // Down one row, Page Up and Page Down one page (the rows the list shows:
  // PROP:Items when set, else its height at 10 dialog units a row, the heading
  // taking one), Home and End to the first and last row; never past either
  // end; from no highlight End goes to the last row and the others to the first.
  // A move reports a new selection with the key's code; no move, no event.
  Headless& list_key(int list, int keycode);
  Headless& close_request();
  // Characters typed on a control (a list: its locator), one key each.
  Headless& type_keys(int control, std::string chars);
  Headless& enter();
  Headless& right_click(int list, std::size_t row, int column = 1);
  // A step that runs test code on the waiting window (to look at it mid-run).
  Headless& then(std::function<void(Window&)> step);
  std::size_t steps_left() const { return steps_.size(); }

  // Answers for the next modal boxes, in order.
  Headless& answer(int button);
  Headless& answer_file(std::string chosen);
  Headless& cancel_file();
  // The item to choose in the next pop-up menu (0 dismisses it); a menu none
  // answers is dismissed.
  Headless& answer_popup(int item);

  // ---- what the program showed ----
  const std::vector<ShownMessage>& messages() const { return messages_; }
  const std::vector<ShownDialog>& dialogs() const { return dialogs_; }
  struct ShownPopup {
    std::string items;
    int answer = 0;
  };
  const std::vector<ShownPopup>& popups() const { return popups_; }
  const std::vector<std::string>& documents() const { return documents_; }  // opened files
  // Scripted steps the window in front refused (a disabled button, a hidden window ...).
  const std::vector<std::string>& refused() const { return refused_; }
  std::int64_t now() const { return now_; }  // the virtual clock, hundredths of a second

  // Forgets the script, the answers, what was shown, the clipboard and the clock.
  void reset();

  // ---- Backend ----
  void opened(Window& w) override;
  void closed(Window& w) override;
  void changed(Window&, int) override {}
  void timer_changed(Window& w) override;
  bool wait(Window& w) override;
  int message(const MessageRequest& request) override;
  bool file_dialog(const FileRequest& request, std::string& chosen) override;
  int popup(const PopupRequest& request) override;
  void set_clipboard(std::string_view text) override { clipboard_ = text; }
  std::string clipboard() override { return clipboard_; }
  void open_document(std::int64_t owner_handle, std::string_view file) override;

 private:
  struct Step {
    std::int64_t pause = 0;
    std::string what;
    std::function<bool(Window&)> act;
  };
  struct Slot {
    Window* window;
    std::int64_t due;  // next timer event; meaningless without a timer
    bool close_sent;   // the idle close request was given
  };

  Headless& add(std::string what, std::function<bool(Window&)> act);
  Slot* slot(Window& w);

  std::deque<Step> steps_;
  std::int64_t pending_pause_ = 0;
  std::int64_t last_step_ = 0;  // when the last step was taken
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> file_answers_;
  std::deque<int> popup_answers_;
  std::vector<ShownPopup> popups_;
  std::vector<ShownMessage> messages_;
  std::vector<ShownDialog> dialogs_;
  std::vector<std::string> documents_;
  std::vector<std::string> refused_;
  std::vector<Slot> slots_;
  std::string clipboard_;
  std::int64_t now_ = 0;
};

// The headless backend of the process (the default backend).
Headless& headless();

}  // namespace window
