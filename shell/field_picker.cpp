#include "shell/field_picker.h"

#include <memory>

#include "globals/services.h"
#include "platform/window/equates.h"
#include "shell/field_picker_def.h"

namespace shell {

namespace {

using globals::FieldListQueue;
using globals::FieldListRecord;
using namespace picker;

constexpr const char* kSection = "SelectField";

void toggle(text::FixedString<3>& mark, text::FixedString<3>& other, std::string_view letter) {
  if (!text::blank(mark.view())) {
    mark = "";
  } else {
    mark = letter;
    other = "";
  }
}

}  // namespace

SelectFieldWindowManager::SelectFieldWindowManager(window::Window& w, abc::ToolbarDispatcher& toolbar,
                                                   globals::LONG& count)
    : window_(w), toolbar_(toolbar), count_(count) {}

abc::BYTE SelectFieldWindowManager::Init() {
  globals::GlobalErrorManager.SetProcedureName(kSection);
  Request = globals::CallRequest;
  if (abc::BYTE r = abc::WindowManager::Init()) return r;
  FirstField = FEQ_LIST1;
  VCRRequest = globals::VcrRequest;
  Errors = &globals::GlobalErrorManager;
  SetToolbar(toolbar_);
  globals::CallRequest = 0;
  globals::CallResponse = 0;
  globals::FieldChosen = 0;
  count_ = static_cast<globals::LONG>(FieldListQueue.records());
  if (globals::GLO_FIELDSBYNAME) {
    FieldListQueue.sort_by<&FieldListRecord::ALF_DAFIELD>();
  } else {
    FieldListQueue.sort_by<&FieldListRecord::ALF_DACOUNT>();
  }
  AddButton(FEQ_CLOSE, Request == abc::SelectRecord ? abc::RequestCancelled : abc::RequestCompleted);
  AddButton(FEQ_CANCEL, abc::RequestCancelled);
  Open(window_);
  globals::GlobalIniManager.RestoreWindow(kSection, window_);
  RegisterAlerts();
  return abc::Level_Benign;
}

abc::BYTE SelectFieldWindowManager::Kill() {
  // Back in position order, as every other reader of the list expects it; the
  // buffer keeps the chosen entry.
  FieldListQueue.sort_by<&FieldListRecord::ALF_DACOUNT>();
  if (abc::BYTE r = abc::WindowManager::Kill()) return r;
  if (Opened()) globals::GlobalIniManager.SaveWindow(kSection, window_);
  globals::GlobalErrorManager.SetProcedureName();
  return abc::Level_Benign;
}

abc::BYTE SelectFieldWindowManager::OnNewSelection() {
  // Only a mouse press marks: the column of the last press stays set while the
  // keyboard moves the highlight, and must not mark every row passed.
  const int key = window_.current_event().keycode;
  const bool pressed = key == window::MouseLeft || key == window::MouseLeft2;
  if (Field() == FEQ_LIST1 && pressed) {
    const int column = static_cast<int>(text::to_long(window_.property(FEQ_LIST1, window::PROPLIST_MouseDownField)));
    if (column == kDateColumn || column == kTimeColumn) {
      if (FieldListQueue.get(static_cast<std::size_t>(window_.choice(FEQ_LIST1))) == 0) {
        FieldListRecord& f = FieldListQueue.buffer();
        if (column == kDateColumn) {
          toggle(f.ALF_DATE, f.ALF_TIME, "D");
        } else {
          toggle(f.ALF_TIME, f.ALF_DATE, "T");
        }
        FieldListQueue.put();
        window_.display(FEQ_LIST1);  // the mark shows at once
      }
    }
  }
  return abc::WindowManager::OnNewSelection();
}

abc::BYTE SelectFieldWindowManager::OnFieldEvent() {
  if (Field() == FEQ_LIST1 && Event() == window::EVENT_AlertKey) window_.post(window::EVENT_Accepted, FEQ_CLOSE);
  return abc::WindowManager::OnFieldEvent();
}

abc::BYTE SelectFieldWindowManager::OnAccepted() {
  if (Field() == FEQ_CLOSE) {
    // With no row highlighted (an empty list) nothing is chosen: the buffer
    // still holds whatever entry was read last, which the caller must not take.
    if (FieldListQueue.get(static_cast<std::size_t>(window_.choice(FEQ_LIST1))) == 0) globals::FieldChosen = 1;
  }
  return abc::WindowManager::OnAccepted();
}

void SelectField() {
  globals::LONG count = 0;
  window::Window w(picker::FieldPickerDef(), {FieldListQueue, count});
  abc::ToolbarDispatcher toolbar;
  auto manager = std::make_unique<SelectFieldWindowManager>(w, toolbar, count);
  globals::CallResponse = manager->Run();
  manager.reset();
  w.close();
}

}  // namespace shell
