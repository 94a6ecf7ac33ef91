// COMMAND(name): a switch's value from the program's command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace files {

// Keeps the command line: main's arguments, the program's own name first
// (never searched). An argument holding a blank but no double quote was
// grouped by the shell and stays one word, as if it had been quoted.
void set_command_line(std::vector<std::string> args);

// The text after "name=" in the first word of the command line that begins,
// without regard to case, with the name followed by "="; an empty text when
// no word does. Words are separated by blanks and commas; double quotes group
// characters, blanks and commas included, into one word and are removed.
// A switch named with a leading "\\" is also found written with "--", "-"
// or "/" in its place ("--auto=1", "-query=Cust", "/select=x"), since a POSIX
// shell drops an unquoted backslash.
std::string command(std::string_view name);

}  // namespace files
