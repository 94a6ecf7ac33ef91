// The desktop backend on Qt 6 Widgets. Each open window is a top-level widget
// with one widget per control at its AT() position, converted from dialog
// units through the dialog font; a list is a table view over a model that
// reads the bound rows in place. The user's actions become the model's user_*
// operations; wait() pumps one QEventLoop until the waiting window's own queue
// holds an event, so nested ACCEPT loops never nest the toolkit's loop (only
// modal boxes do). The accessors below let a test or a driver reach the real
// widgets and answer modal boxes without blocking.
#pragma once

#include <QIcon>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/window/backend.h"

class QApplication;
class QUrl;
class QWidget;

namespace window {

class WindowView;

class QtBackend final : public Backend {
 public:
  QtBackend(int& argc, char** argv);
  ~QtBackend() override;

  // ---- Backend ----
  void opened(Window& w) override;
  void closed(Window& w) override;
  void changed(Window& w, int control) override;
  void selected(Window& w, int control) override;
  void timer_changed(Window& w) override;
  bool wait(Window& w) override;
  int message(const MessageRequest& request) override;
  bool file_dialog(const FileRequest& request, std::string& chosen) override;
  // A menu at the mouse pointer; it is modal, so on_modal() hooks answer it.
  int popup(const PopupRequest& request) override;
  void set_clipboard(std::string_view text) override;
  std::string clipboard() override;
  void open_document(std::int64_t owner_handle, std::string_view file) override;

  // ---- dialog units, from the dialog font ----
  int pixels_x(int units) const;
  int pixels_y(int units) const;
  int units_x(int pixels) const;
  int units_y(int pixels) const;

  // ---- the widgets, for tests and drivers ----
  // The window's top-level widget and a control's widget (a tab: its sheet);
  // nullptr when the window is not open or the control has no widget.
  QWidget* widget(const Window& w) const;
  QWidget* widget(const Window& w, int control) const;
  // True while a window's loop waits in wait() (not inside a modal box).
  bool waiting() const;
  // The next modal box (message box or file dialog) is handed to the hook once
  // it shows; the hook answers it as a user would. Hooks are taken in order.
  void on_modal(std::function<void(QWidget&)> hook);
  // Replaces opening documents through the desktop (tests record the URL).
  void set_opener(std::function<void(const QUrl&)> opener);
  // The program's own icon, drawn in code.
  static QIcon program_icon();
  // The name filters of a FILEDIALOG extension list ("desc|mask|...").
  static QStringList name_filters(std::string_view extensions);

  // Wakes the waiting loop when its window's queue holds an event.
  void wake();
  int tip_display_ms() const;

 private:
  struct Wait;
  std::unique_ptr<QApplication> app_;
  std::map<const Window*, WindowView*> views_;
  std::deque<Wait*> waits_;
  int modal_depth_ = 0;
  std::deque<std::function<void(QWidget&)>> modal_hooks_;
  std::function<void(const QUrl&)> opener_;
  int base_x_ = 6, base_y_ = 13;

  void run_modal(QWidget& dialog, const std::function<int()>& exec);
  WindowView* view(const Window& w) const;
};

// Texts of the model (Windows-1252 bytes) and the toolkit's Unicode.
QString to_qstring(std::string_view bytes);
// None when a character has no byte in the code page.
std::optional<std::string> to_bytes(const QString& s);

}  // namespace window
