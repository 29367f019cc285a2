// The leak benchmark's counters: what the Windows layer made and released, per kind of handle,
// as its handle owners and window code report it (hosts/win32/handles.h). Only the benchmark's
// build of the program (VORNKIT_BENCH) reports; leak_counters.cpp takes the reports.
#pragma once

#include "hosts/win32/handles.h"

namespace bench {

using hosts::win32::counting::kKinds;

inline constexpr const char* kKindNames[kKinds] = {"windows", "icons", "fonts",
                                                   "brushes", "menus", "process/thread handles"};

struct Counters {
    long created[kKinds] = {};
    long released[kKinds] = {};
};

// What has been reported so far.
Counters& Counts();

}  // namespace bench
