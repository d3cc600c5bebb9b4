#pragma once
// Internal to corekit: the load hook seeds Random() through this.

#include <cstdint>

void SeedRandom(uint32_t seed);
