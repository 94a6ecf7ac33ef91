#include "platform/abc/window_manager.h"

#include <algorithm>

#include "platform/abc/file_manager.h"
#include "platform/abc/resizer.h"
#include "platform/abc/toolbar.h"

namespace abc {

using namespace window;

int WindowManager::Event() const { return window_ ? window_->current_event().event : 0; }
int WindowManager::Field() const { return window_ ? window_->current_event().field : 0; }

BYTE WindowManager::Init() {
  buttons_.clear();
  components_.clear();
  toolbar_ = nullptr;
  resizer_ = nullptr;
  files_.clear();
  history_record_ = history_ = nullptr;
  history_fields_.clear();
  Response = 0;
  opened_ = false;
  dead_ = false;
  return Level_Benign;
}

BYTE WindowManager::Kill() {
  if (dead_) return Level_Notify;
  for (WindowComponent* c : components_) c->Kill();
  components_.clear();
  buttons_.clear();
  if (toolbar_) toolbar_->Kill();
  toolbar_ = nullptr;
  resizer_ = nullptr;
  if (Response != RequestCompleted) {
    for (SavedFile& f : files_) {
      if (f.file->File && f.file->File->buffer().size() == f.buffer.size()) f.file->File->buffer() = f.buffer;
    }
  }
  files_.clear();
  dead_ = true;
  return Level_Benign;
}

void WindowManager::Open(window::Window& w) {
  window_ = &w;
  if (opened_) return;
  w.open();
  opened_ = true;
  Reset(false);
  OnOpened();
}

void WindowManager::Reset(bool force) {
  for (WindowComponent* c : components_) {
    c->Reset(force);
    c->UpdateWindow();
  }
  if (window_) window_->display();
}

BYTE WindowManager::Run() {
  if (Init() == Level_Benign) EventLoop();
  Kill();
  return Response ? Response : RequestCancelled;
}

BYTE WindowManager::RunUpdate(int, BYTE) { return Level_Benign; }

BYTE WindowManager::PrepareUpdate() {
  if (Request != DeleteRecord) return Level_Benign;
  if (DeleteAction == Delete_None || !Primary) {
    if (Errors) Errors->Throw(Msg_DeleteIllegal);
    SetResponse(RequestCancelled);
  } else {
    SetResponse(Primary->Delete(DeleteAction == Delete_Warn ? 1 : 0) == Level_Benign ? RequestCompleted
                                                                                    : RequestCancelled);
  }
  return Level_Fatal;
}

void WindowManager::RegisterAlerts() {
  for (WindowComponent* c : components_) c->SetAlerts();
  if (window_ && HistoryKey) {
    for (const HistoryField& h : history_fields_) window_->alert(h.control, HistoryKey);
  }
}

void WindowManager::AddFile(FileManager& file) {
  files_.push_back({&file, file.File ? file.File->buffer() : std::string()});
}

void WindowManager::SetHistoryBuffers(std::string& record, std::string& history) {
  history_record_ = &record;
  history_ = &history;
}

void WindowManager::AddHistoryField(int control, std::size_t offset, std::size_t size) {
  history_fields_.push_back({control, offset, size});
}

void WindowManager::SetResponse(BYTE response) { Response = response; }

void WindowManager::UpdateComponents() {
  for (WindowComponent* c : components_) c->Update();
}

BYTE WindowManager::EventLoop() {
  if (!window_) return Level_Benign;
  while (window_->accept()) {
    const BYTE level = OnEvent();
    if (level == Level_Fatal) break;
    if (level == Level_Notify) window_->cycle();
  }
  return Level_Benign;
}

BYTE WindowManager::OnEvent() {
  if (toolbar_) {
    if (BYTE r = toolbar_->TakeEvent()) return r;
  }
  if (Field() == 0) {
    if (BYTE r = OnWindowEvent()) return r;
  }
  BYTE r = Level_Benign;
  switch (Event()) {
    case EVENT_Accepted: r = OnAccepted(); break;
    case EVENT_NewSelection: r = OnNewSelection(); break;
    case EVENT_Selected: r = OnSelected(); break;
    case EVENT_Rejected: r = OnRejected(); break;
    case EVENT_Completed: r = OnCompleted(); break;
    case EVENT_AlertKey:
      if (HistoryKey && window_ && window_->current_event().keycode == HistoryKey && history_record_ && history_) {
        for (const HistoryField& h : history_fields_) {
          if (h.control != Field()) continue;
          if (h.offset + h.size <= history_record_->size() && h.offset + h.size <= history_->size())
            history_record_->replace(h.offset, h.size, *history_, h.offset, h.size);
          window_->display(h.control);
        }
      }
      break;
    default: break;
  }
  if (r) return r;
  if (Field() != 0) {
    if ((r = OnFieldEvent())) return r;
  }
  bool reset = false;
  for (WindowComponent* c : components_) {
    if ((r = c->TakeEvent())) return r;
    reset = reset || c->ResetRequired();
  }
  if (AutoRefresh && reset) Reset(false);
  return Level_Benign;
}

BYTE WindowManager::OnWindowEvent() {
  switch (Event()) {
    case EVENT_OpenWindow:
      if (!opened_ && window_) Open(*window_);
      if (FirstField && window_) window_->select(FirstField);
      return Level_Benign;
    case EVENT_CloseWindow:
    case EVENT_CloseDown:
      return OnCloseRequest();
    default:
      return Level_Benign;
  }
}

BYTE WindowManager::OnAccepted() {
  const int control = Field();
  auto it = std::find_if(buttons_.begin(), buttons_.end(), [&](const Button& b) { return b.control == control; });
  if (it != buttons_.end()) {
    SetResponse(it->response);
    if (window_) window_->post(EVENT_CloseWindow);
    return Level_Notify;
  }
  if (OkControl != 0 && control == OkControl && window_) window_->post(EVENT_Completed);
  return Level_Benign;
}

BYTE WindowManager::OnNewSelection() { return Level_Benign; }
BYTE WindowManager::OnSelected() { return Level_Benign; }

BYTE WindowManager::OnRejected() {
  // The runtime refused a value: show the controls again and put the focus back.
  if (window_) {
    window_->display();
    window_->select(Field());
  }
  return Level_Benign;
}

BYTE WindowManager::OnCompleted() { return Level_Benign; }
BYTE WindowManager::OnCloseRequest() { return Level_Benign; }
BYTE WindowManager::OnFieldEvent() { return Level_Benign; }

void WindowManager::AddButton(int control, BYTE response) {
  for (Button& b : buttons_) {
    if (b.control == control) {
      b.response = response;
      return;
    }
  }
  buttons_.push_back({control, response});
}

void WindowManager::AddComponent(WindowComponent& component) {
  if (std::find(components_.begin(), components_.end(), &component) == components_.end())
    components_.push_back(&component);
}

void WindowManager::SetToolbar(ToolbarDispatcher& toolbar) {
  toolbar_ = &toolbar;
  toolbar.Init(*this);
}

void WindowManager::SetResizer(Resizer& resizer) {
  resizer_ = &resizer;
  AddComponent(resizer);
}

}  // namespace abc
