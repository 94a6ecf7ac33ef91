// The field picker SelectField: lists the field list of the current input
// table (by position, or by label with "Fields By Name"), lets the user set
// or clear a field's date ("D") or time ("T") mark with a mouse press in that
// column, and choose one field. The chosen entry is left in FieldListQueue's
// buffer and FieldChosen says whether there is one; marks set stay in the
// list, which is back in position order when the picker returns.
#pragma once

#include "globals/globals.h"
#include "platform/abc/toolbar.h"
#include "platform/abc/window_manager.h"
#include "platform/window/window.h"

namespace shell {

// Runs the picker to its end; CallResponse is 1 after "&Select", 2 otherwise.
void SelectField();

class SelectFieldWindowManager : public abc::WindowManager {
 public:
  SelectFieldWindowManager(window::Window& w, abc::ToolbarDispatcher& toolbar, globals::LONG& count);

  abc::BYTE Init() override;
  abc::BYTE Kill() override;
  abc::BYTE OnAccepted() override;
  abc::BYTE OnFieldEvent() override;
  abc::BYTE OnNewSelection() override;

 private:
  window::Window& window_;
  abc::ToolbarDispatcher& toolbar_;
  globals::LONG& count_;
};

}  // namespace shell
