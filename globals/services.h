// The program-wide service objects of the class library and the per-thread
// request variables of the windows: built before the main procedure runs,
// initialised by it, torn down after it (the start-up's order).
#pragma once

#include <cstdint>

#include "platform/abc/error_manager.h"
#include "platform/abc/fuzzy_matcher.h"
#include "platform/abc/ini_manager.h"

namespace globals {

extern abc::ErrorManager GlobalErrorManager;
extern abc::IniManager GlobalIniManager;
extern abc::FuzzyMatcher GlobalFuzzyMatcher;

// The request handed to the next window procedure (1 insert, 2 change,
// 3 delete, 4 select, 6 view), how the last one ended (1 completed,
// 2 cancelled) and the record-navigation request: one of each per thread.
extern thread_local std::uint8_t CallRequest;
extern thread_local std::uint8_t CallResponse;
extern thread_local std::int32_t VcrRequest;

}  // namespace globals
