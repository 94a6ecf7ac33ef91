// Main: the procedure of the main window, the query form. It reads the
// command line, restores a query, runs the window (or the unattended export)
// and saves the query when the window closes.
#pragma once

#include <cstdint>
#include <string_view>

namespace shell {

void Main();

// Whether the command line asks for an unattended run: "\auto" with a number
// whose low eight bits are not all 0 ("1" does, "0", "256" and "yes" do not).
bool UnattendedRequested();

// Opens the file in the program associated with its type; nothing is reported.
void ShellOpen(std::int64_t window_handle, std::string_view file_name);

}  // namespace shell
