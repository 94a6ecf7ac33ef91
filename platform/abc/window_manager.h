// The class library's window manager: the frame every window procedure of the
// shell derives from. Run is Init, then (when Init returned 0) the event loop,
// then Kill, and answers the response (2, cancelled, when none was set). The
// loop hands each event to OnEvent, which dispatches it: field-independent
// events to OnWindowEvent first (OpenWindow opens the window if needed and
// selects the first field; CloseWindow and CloseDown go to OnCloseRequest),
// then Accepted, NewSelection, Selected, Rejected and Completed to their
// handlers, then field events to OnFieldEvent, then to every registered
// component. A handler's level stops the dispatch when non-zero: 3 (fatal)
// ends the loop, 5 (notify) skips the runtime's default handling of the
// event, so a close request answered 5 leaves the window open. A control
// registered with AddButton ends the window with its response when accepted.
// Every virtual operation may be overridden; an override calls its base.
//
// Forms: PrepareUpdate carries out a delete request at once through the
// primary relation manager (asking first when DeleteAction is Delete_Warn)
// and answers 3, so the form's Init ends without a window; other requests
// answer 0. AddFile keeps a file's record buffer, which Kill puts back unless
// the form ended completed. The history key (set with SetHistoryBuffers and
// AddHistoryField) puts the history copy of the focused field back into the
// record and shows it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/abc/error_manager.h"
#include "platform/window/window.h"

namespace abc {

// Requests a window procedure is started with, and how it ended.
inline constexpr BYTE InsertRecord = 1;
inline constexpr BYTE ChangeRecord = 2;
inline constexpr BYTE DeleteRecord = 3;
inline constexpr BYTE SelectRecord = 4;
inline constexpr BYTE ProcessRecord = 5;
inline constexpr BYTE ViewRecord = 6;
inline constexpr BYTE RequestCompleted = 1;
inline constexpr BYTE RequestCancelled = 2;

class ToolbarDispatcher;
class Resizer;
class FileManager;
class RelationManager;

inline constexpr BYTE Insert_None = 0;
inline constexpr BYTE Insert_Caller = 1;
inline constexpr BYTE Change_None = 0;
inline constexpr BYTE Change_Caller = 1;
inline constexpr BYTE Delete_None = 0;
inline constexpr BYTE Delete_Warn = 1;
inline constexpr BYTE Delete_Auto = 2;

// Something that lives in a window beside its controls (a browse, a resizer):
// it sees every event after the window's own handlers, takes part in Reset
// and Update, and sets its alert keys.
class WindowComponent {
 public:
  virtual ~WindowComponent() = default;
  virtual BYTE TakeEvent() { return Level_Benign; }
  // Reset: take the data the window shows afresh (force: even if unchanged).
  virtual void Reset(bool /*force*/) {}
  // Update: take the values the user changed from the window.
  virtual void Update() {}
  // UpdateWindow: show the component's data in the window.
  virtual void UpdateWindow() {}
  // Whether the component needs a Reset after the event just handled.
  virtual bool ResetRequired() { return false; }
  virtual void SetAlerts() {}
  virtual void Kill() {}
};

class WindowManager {
 public:
  virtual ~WindowManager() = default;

  // ---- the run of the window ----
  virtual BYTE EventLoop();
  // Clears the lists of components and buttons, marks the manager alive; 0.
  virtual BYTE Init();
  // Kills every component, the toolbar and the resizer; 0, or 5 when already dead.
  virtual BYTE Kill();
  // Opens the window (once), resets and shows it; the manager's window from now on.
  virtual void Open(window::Window& w);
  virtual void OnOpened() {}
  // Resets every component and redisplays all controls from their variables.
  virtual void Reset(bool force = false);
  virtual BYTE Run();
  // Runs update procedure `number` with `request`; the base has none: 0.
  virtual BYTE RunUpdate(int number, BYTE request);
  // Lets every component set its alert keys.
  virtual void RegisterAlerts();
  virtual void SetResponse(BYTE response);
  // Asks every component to take its data from the window.
  virtual void UpdateComponents();
  // Prepares the update the request asks for (forms): a delete is done here.
  virtual BYTE PrepareUpdate();

  // ---- the event handlers ----
  virtual BYTE OnEvent();
  virtual BYTE OnWindowEvent();
  virtual BYTE OnAccepted();
  virtual BYTE OnNewSelection();
  virtual BYTE OnSelected();
  virtual BYTE OnRejected();
  virtual BYTE OnCompleted();
  virtual BYTE OnCloseRequest();
  virtual BYTE OnFieldEvent();

  // ---- set-up ----
  // Pressing `control` ends the window with `response`.
  void AddButton(int control, BYTE response);
  void AddComponent(WindowComponent& component);
  void SetToolbar(ToolbarDispatcher& toolbar);
  void SetResizer(Resizer& resizer);
  void AddFile(FileManager& file);
  // The record the form edits and the copy the history key restores from.
  void SetHistoryBuffers(std::string& record, std::string& history);
  // A control whose field is `size` bytes from `offset` of the record.
  void AddHistoryField(int control, std::size_t offset, std::size_t size);

  window::Window* Window() const { return window_; }
  bool Opened() const { return opened_; }
  // The event being handled, and its control (0 for a field-independent event).
  int Event() const;
  int Field() const;

  BYTE Request = 0;    // the request the procedure was started with
  BYTE Response = 0;   // how it ended; 0 none yet
  int FirstField = 0;  // the control selected when the window opens
  int OkControl = 0;   // accepting it completes the window
  std::int32_t VCRRequest = 0;
  ErrorManager* Errors = nullptr;
  bool FilesOpened = false;  // for derived managers that open files in Init
  bool AutoRefresh = true;   // one Reset after an event a component asked it for
  RelationManager* Primary = nullptr;  // a form's file
  BYTE InsertAction = Insert_Caller;
  BYTE ChangeAction = Change_Caller;
  BYTE DeleteAction = Delete_Warn;
  int HistoryKey = 0;

 private:
  struct Button {
    int control;
    BYTE response;
  };
  window::Window* window_ = nullptr;
  bool opened_ = false;
  bool dead_ = true;
  std::vector<Button> buttons_;
  std::vector<WindowComponent*> components_;
  struct SavedFile {
    FileManager* file;
    std::string buffer;
  };
  std::vector<SavedFile> files_;
  struct HistoryField {
    int control;
    std::size_t offset, size;
  };
  std::string* history_record_ = nullptr;
  std::string* history_ = nullptr;
  std::vector<HistoryField> history_fields_;
  ToolbarDispatcher* toolbar_ = nullptr;
  Resizer* resizer_ = nullptr;
};

}  // namespace abc
