#pragma once
#include "BenchSupport.h"

#include <functional>

// Where a pass spends its time: the platform calls that WritePass makes, timed one kind at a time
// on a 4 KiB file, and the phases of a pass over a 64 MiB file (read-through, writes, flush) with
// the engine's 10,239-byte calls beside 1 MiB calls, once for each cache state in `caches` (put
// in place by `prepare` before every read-through). These calls are replayed here, not the
// engine's own code; the engine's whole pass is timed beside them to show that they add up.
// Returns false when a call fails.
using PrepareCacheFunction = std::function<bool(const std::string& path, const std::string& cache)>;
bool RunCallProfile(const BenchFolder& folder, bool machine, const std::vector<std::string>& caches,
                    const PrepareCacheFunction& prepare);
