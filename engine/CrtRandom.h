#pragma once
#include <cstdint>

// The C runtime's published pseudo-random generator (state * 214013 + 2531011 mod 2^32), written
// out here so the random passes do not depend on whichever runtime the program links. The state
// belongs to the calling thread and starts at 1, as the runtime's does.
namespace CrtRandom {

void Seed(std::uint32_t seed);

// One draw, 0..32767: bits 16 to 30 of the new state.
int Draw();

}  // namespace CrtRandom
