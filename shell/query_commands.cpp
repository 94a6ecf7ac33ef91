#include "shell/query_commands.h"

#include "globals/globals.h"
#include "globals/services.h"
#include "platform/files/paths.h"
#include "shell/query_browse.h"
#include "shell/saved_queries.h"

namespace shell {

void QueryButtonBeforeBase(MainLocals& m) {
  files::setpath(globals::GLO_WorkingDir.view());
  m.QueryNameAtPress = globals::GLO_QUERYNAME.view();
}

void QueryButtonAfterBase(abc::WindowManager& manager, MainLocals& m) {
  manager.UpdateComponents();
  globals::CallRequest = abc::SelectRecord;
  m.PickedSysId = LookupQuery();
  manager.Reset(false);
  if (m.PickedSysId == 0) return;
  m.QueryNameAfterBrowse = globals::GLO_QUERYNAME.view();
  m.FieldListPresent = globals::FieldListQueue.records() > 0 ? 1 : 0;
  globals::GLO_QUERYNAME = m.QueryNameAtPress.view();
  SaveQuery(m);
  globals::GLO_QUERYNAME = m.QueryNameAfterBrowse.view();
  LoadQueryBySysId(m);
}

}  // namespace shell
