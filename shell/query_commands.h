// The main window's "..." button: the saved-query browse, and the switch to
// the query picked there after the one in the form has been saved under the
// name it had when the button was pressed. One call before the window
// manager's base handler, one after it.
#pragma once

#include "platform/abc/window_manager.h"
#include "shell/main_locals.h"

namespace shell {

void QueryButtonBeforeBase(MainLocals& m);
void QueryButtonAfterBase(abc::WindowManager& manager, MainLocals& m);

}  // namespace shell
