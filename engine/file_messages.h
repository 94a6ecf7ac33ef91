// How the export engine reports a failed OPEN, ADD or CLOSE: for File System Error
// (90) and Invalid Record Declaration (47) the driver's own text, with its
// code before the runtime's in the caption; for any other error the standard
// text. The caption ends in the operation (" OPEN()", " ADD()", " CLOSE()").
#pragma once

#include <string_view>

#include "platform/window/equates.h"

namespace engine {

// Shows the last error of the error state; `operation` is "OPEN()", "ADD()" or "CLOSE()".
void ShowFileError(std::string_view operation, window::Icon icon);

}  // namespace engine
