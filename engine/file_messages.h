// How the export engine reports a failed file operation: for File System Error
// (90) and Invalid Record Declaration (47) the driver's own text, with its
// code before the runtime's in the caption; for any other error the standard
// text. Every caption has one form: "[<driver code> ]<code> <operation>".
#pragma once

#include <string_view>

#include "platform/window/equates.h"

namespace engine {

// Shows the last error of the error state; `operation` is "OPEN()", "ADD()",
// "CLOSE()" or "NEXT()". A `detail` given stands on a line after the text:
// the file the failure concerns, where the operation alone does not say which.
void ShowFileError(std::string_view operation, window::Icon icon, std::string_view detail = {});

// A record that could not be read whole (the record itself, or one of its
// MEMOs or BLOBs): the driver's codes and text with the question mark, any
// other code with its standard text and no icon.
void ShowReadError();

}  // namespace engine
