#include "engine/file_messages.h"

#include <string>

#include "platform/files/errors.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace engine {

void ShowFileError(std::string_view operation, window::Icon icon) {
  const int code = files::error_code();
  std::string caption;
  std::string message;
  if (code == files::kFileSystemError || code == files::kInvalidRecordDeclaration) {
    message = files::file_error();
    caption = files::file_error_code() + " ";
  } else {
    message = files::error_text();
  }
  caption += text::int_text(code);
  caption += ' ';
  caption += operation;
  window::message(message, caption, icon);
}

}  // namespace engine
