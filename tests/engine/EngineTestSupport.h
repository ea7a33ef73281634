#pragma once
#include "CSDEngine.h"
#include "RecordingEngine.h"
#include "SeamHelpers.h"
#include "Seams.h"

#include <cstdint>
#include <string>
#include <vector>

// Pauses return at once and are recorded, each with the number of passes `engine` had written
// before it; the clock that seeds the random passes stands still. Restores both when it goes out
// of scope.
class FastPinnedSeams : public RecordedPauses {
public:
    explicit FastPinnedSeams(std::uint32_t clockSeconds, const RecordingEngine* engine = nullptr);

    std::vector<std::size_t> passesBefore;

private:
    seams::ScopedClock m_clock;
};

// The buffers a schedule written in the catalogue's notation ("00 FF* [92 49 24] R") must produce,
// the random blocks drawn from a generator seeded with `seed` in order; the closing 00 appended.
std::vector<std::string> ExpectedPassBuffers(const std::string& notation, std::uint32_t seed);

// `buffer` repeated from the first byte over `size` bytes.
std::string Spread(const std::string& buffer, std::size_t size);

// A file of the sandbox (code page 949 text) located for the engine: where its handles must land.
LocatedPath At(const std::string& path);
