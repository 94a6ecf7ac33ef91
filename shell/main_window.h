// Main: the procedure of the main window, the query form. It reads the
// command line, restores a query, runs the window (or the unattended export)
// and saves the query when the window closes.
#pragma once

namespace shell {

void Main();

}  // namespace shell
