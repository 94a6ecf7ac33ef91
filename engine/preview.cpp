#include "engine/preview.h"

#include "engine/engine_state.h"
#include "globals/globals.h"

namespace engine {

void SetPreviewColumn() {
  if (globals::AutoMode || globals::GLO_NOPREVIEW) return;
  const globals::LONG k = globals::FieldListQueue.buffer().ALF_DAORDER;
  if (k < 1) return;
  globals::PreviewQueue.buffer().set_cell(static_cast<std::size_t>(k), CurrentValueText);
}

void AddPreviewRow() {
  if (globals::GLO_NOPREVIEW) return;
  globals::PreviewQueue.add();  // a failed append sets the error state and drops the row
}

}  // namespace engine
