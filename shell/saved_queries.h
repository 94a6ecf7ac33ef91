// The saved-query store: named queries in "QMXSETUP.TPS" in the working
// directory, moved between that table and the query form (the GLO_ settings,
// LastRecordCount and FieldListQueue). Each routine opens the table through
// the QMXSETUP file manager when it starts and closes it before it ends.
#pragma once

#include <string>
#include <string_view>

#include "shell/main_locals.h"

namespace shell {

// Stores the form under GLO_QUERYNAME and gives it the tag; nothing while
// FieldListPresent is 0.
void SaveQuery(MainLocals& m);
// Loads the query named CmdQueryName (any letter case); LoadedByName 1 when found.
void LoadQueryByName(MainLocals& m);
// Loads the query whose number is PickedSysId.
void LoadQueryBySysId(MainLocals& m);
// Loads the query that carries the tag.
void LoadTaggedQuery(MainLocals& m);

// The field list's text form (the FIELDS BLOB) and back: FieldsText of the
// queue in its current order; ParseFieldsText rebuilds the queue from any bytes.
std::string FieldListText();
void ParseFieldsText(MainLocals& m);

}  // namespace shell
