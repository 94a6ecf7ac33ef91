// The query form's field and file buttons, after the accepted-control
// handler's base stage: the two "Fetch Field" buttons append the label
// chosen in the field picker to SELECT (comma-separated) or WHERE (as it
// stands); the three file buttons take the input table, the output directory
// and the output file from their dialogs, where a cancelled dialog leaves
// the location as it was and a new input table first saves the old query;
// "Open" hands the CSV file written last to the program that opens it. Every
// branch ends in the working directory.
#pragma once

namespace shell {

class MainWindowManager;

// Runs the branch of `control`; false when the control has none here.
bool FieldAndFileCommand(MainWindowManager& manager, int control);

}  // namespace shell
