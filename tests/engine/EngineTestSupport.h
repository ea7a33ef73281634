#pragma once
#include "CSDEngine.h"
#include "Seams.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the disk held after one pass, read back straight after the pass returned.
struct PassRecord {
    std::string path;
    bool ok;
    std::string fileAfter;
};

// The real engine, with every pass recorded as it lands on the disk. `beforePass` runs before the
// pass with that index (counted from 0 over the whole wipe), so a test can interfere with it.
class RecordingEngine : public CSDEngine {
public:
    explicit RecordingEngine(int currentMethod = 1) : CSDEngine([this] { return method; }), method(currentMethod) {}

    bool WritePass(const LocatedPath& file, const PatternBuffer& pattern) override;

    int method;
    std::vector<PassRecord> passes;
    std::function<void(std::size_t index, const std::string& path)> beforePass;
};

// Pauses return at once and are counted with the number of passes written before them; the clock
// that seeds the random passes stands still. Restores both when it goes out of scope.
class FastPinnedSeams {
public:
    explicit FastPinnedSeams(std::uint32_t clockSeconds, const RecordingEngine* engine = nullptr);

    struct PauseRecord {
        unsigned milliseconds;
        std::size_t passesBefore;
    };
    std::vector<PauseRecord> pauses;

private:
    seams::ScopedPauses m_pauses;
    seams::ScopedClock m_clock;
};

// Holds a file open for reading without sharing, as another program might.
class ExclusiveHold {
public:
    explicit ExclusiveHold(const std::string& path);
    ~ExclusiveHold();
    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release();

private:
    HANDLE m_handle;
};

// The buffers a schedule written in the catalogue's notation ("00 FF* [92 49 24] R") must produce,
// the random blocks drawn from a generator seeded with `seed` in order; the closing 00 appended.
std::vector<std::string> ExpectedPassBuffers(const std::string& notation, std::uint32_t seed);

// `buffer` repeated from the first byte over `size` bytes.
std::string Spread(const std::string& buffer, std::size_t size);


// A file of the sandbox (code page 949 text) located for the engine: where its handles must land.
LocatedPath At(const std::string& path);
long long FileSizeOf(const std::string& path);  // -1 when it cannot be read
