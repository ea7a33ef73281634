#pragma once
#include "CSDEngine.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// What the disk held after one pass, read back straight after the pass returned.
struct PassRecord {
    std::string path;  // code page 949 text
    bool ok;
    std::string fileAfter;
};

// The real engine, with every overwrite pass recorded as it lands on the disk. `beforePass` runs
// before the pass with that index (counted from 0 over the whole wipe), so a test can interfere
// with it. A plain deletion records no pass.
class RecordingEngine : public CSDEngine {
public:
    explicit RecordingEngine(int currentMethod = 1) : CSDEngine([this] { return method; }), method(currentMethod) {}

    bool WritePass(const LocatedPath& file, const PatternBuffer& pattern) override;
    // Whether any pass went to `path`.
    bool Wrote(const std::string& path) const;

    int method;
    std::vector<PassRecord> passes;
    std::function<void(std::size_t index, const std::string& path)> beforePass;
};
