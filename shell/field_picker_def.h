// The field picker "All Fields" as data: the list of the field list with its
// seven columns, the "&Select" and "&Cancel" buttons and the count, and the
// field numbers by which its handlers address them.
#pragma once

#include "platform/window/definition.h"

namespace shell::picker {

// Field numbers of the picker's controls (their place in the definition).
enum PickerControl : int {
  FEQ_LIST1 = 1,
  FEQ_CLOSE,
  FEQ_CANCEL,
  FEQ_NUMBER,
};

// The list's columns that carry the date and the time mark.
inline constexpr int kDateColumn = 3;
inline constexpr int kTimeColumn = 4;

// P1$WINDOW of the module quillomar$quillomar002.
const window::WindowDef& FieldPickerDef();

}  // namespace shell::picker
