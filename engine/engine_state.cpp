#include "engine/engine_state.h"

#include "globals/globals.h"

namespace engine {

std::string CurrentValueText;
std::string CurrentRawValue;
std::int32_t NotDateFlag = 0;
std::int32_t NotTimeFlag = 0;
std::string WhereWork;

text::CString<30> DateStamp;
text::CString<256> OutputDir;
text::CString<50> OutputBaseName;
text::CString<256> InputFileName;
text::CString<256> OutputFileName;
std::int32_t TotalRecords = 0;

// Defined in this order: TESTANY reads into OUTPUT's record.
files::AsciiFile OUTPUT{[] { return globals::GLO_OUTPUTCSVLOCATION.str(); }};
files::DosFile DOSOUT{[] { return OutputFileName.str(); }};
char* const TESTANY_RECORD = OUTPUT.record();
tps::Declaration TESTANY{[] { return InputFileName.str(); },
                         [] { return globals::GLO_TPSPASSWORD.str(); }, TESTANY_RECORD};

void reset() {
  if (TESTANY.is_open()) TESTANY.close();
  if (DOSOUT.is_open()) DOSOUT.close();
  globals::reset();
  CurrentValueText.clear();
  CurrentRawValue.clear();
  NotDateFlag = 0;
  NotTimeFlag = 0;
  WhereWork.clear();
  DateStamp.clear();
  OutputDir.clear();
  OutputBaseName.clear();
  InputFileName.clear();
  OutputFileName.clear();
  TotalRecords = 0;
}

}  // namespace engine
