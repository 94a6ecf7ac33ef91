// Where a file declaration takes its file name (or owner password) from: the
// variable's current text, read again at every call that opens, creates or
// removes the file, so one declaration reaches whatever file it names then.
#pragma once

#include <functional>
#include <string>

namespace files {

using NameSource = std::function<std::string()>;

}  // namespace files
