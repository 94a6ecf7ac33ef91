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

namespace {
// OTP_LINE, the record of OUTPUT.
char OTP_LINE[TESTANY_RECORD_SIZE];
}  // namespace

char* const TESTANY_RECORD = OTP_LINE;
tps::Declaration TESTANY{[] { return InputFileName.str(); },
                         [] { return globals::GLO_TPSPASSWORD.str(); }, OTP_LINE};

void reset() {
  if (TESTANY.is_open()) TESTANY.close();
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
