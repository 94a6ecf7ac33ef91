// The saved-query form "Form QMXSETUPAlias", the browse's update procedure.
// It takes its request from CallRequest and leaves 1 (completed) or 2
// (cancelled) in CallResponse: a delete (3) asks "Confirm Delete" and
// deletes the alias's current record without showing the window; a view (6)
// shows the record read-only and always ends cancelled; insert (1) and change
// (2) are refused with messages 23 and 41. Stored queries are written only by
// the main window.
#pragma once

namespace shell {

void UpdateQMXSETUPAlias();

}  // namespace shell
