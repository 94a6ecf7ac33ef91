#include "globals/services.h"

namespace globals {

abc::ErrorManager GlobalErrorManager;
abc::IniManager GlobalIniManager;
abc::FuzzyMatcher GlobalFuzzyMatcher;

thread_local std::uint8_t CallRequest = 0;
thread_local std::uint8_t CallResponse = 0;
thread_local std::int32_t VcrRequest = 0;

}  // namespace globals
