#include "engine/file_messages.h"

#include <string>

#include "platform/files/errors.h"
#include "platform/text/text.h"
#include "platform/window/window.h"

namespace engine {

namespace {

bool driver_error(int code) { return code == files::kFileSystemError || code == files::kInvalidRecordDeclaration; }

}  // namespace

void ShowFileError(std::string_view operation, window::Icon icon, std::string_view detail) {
  const int code = files::error_code();
  std::string caption;
  std::string message;
  if (driver_error(code)) {
    message = files::file_error();
    caption = files::file_error_code() + " ";
  } else {
    message = files::error_text();
  }
  if (!detail.empty()) {
    message += '\n';
    message += detail;
  }
  caption += text::int_text(code);
  caption += ' ';
  caption += operation;
  window::message(message, caption, icon);
}

void ShowReadError() {
  ShowFileError("NEXT()", driver_error(files::error_code()) ? window::Icon::Question : window::Icon::None);
}

}  // namespace engine
