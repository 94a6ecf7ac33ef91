// Preview rows: the export's lines, column for column, in the program-wide
// PreviewQueue that the main window's list shows. The queue's one record buffer
// is never cleared between rows: a cell keeps its text until a later column of
// the same number overwrites it.
#pragma once

namespace engine {

// Stores CurrentValueText in the preview buffer's column k, k being the output
// column number the caller left in the field-list buffer's ALF_DAORDER: 100
// characters in column 1, 99 in columns 2 to 2000; other numbers store nothing.
// Does nothing in an unattended run or with GLO_NOPREVIEW set.
void SetPreviewColumn();

// Appends a copy of the preview buffer as the last row, unless GLO_NOPREVIEW is
// set. When memory runs out the row is dropped without a message.
void AddPreviewRow();

}  // namespace engine
