// The program-wide uniform random generator: one seedable stream shared by every caller, so that
// a seed makes noise effects reproducible on both builds.
#pragma once
#include <cstdint>

namespace plenvue {

// Next value of the shared stream, uniform in [0, 1).
double Rnd();
// Restarts the shared stream from a seed; the same seed gives the same sequence on every build.
void Randomize(uint32_t seed);
// Seeds from the local time of day in whole seconds.
void RandomizeFromClock();

}  // namespace plenvue
