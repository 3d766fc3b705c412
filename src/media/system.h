#pragma once
// Clock, random numbers and program end.

#include <cstdint>

namespace media {

std::int32_t MilliSecs();
void Delay(int ms);
void SeedRnd(int seed);
int Rand(int min, int max);
// Runs the exit handlers (display closed, audio shut down) and ends with status 0.
[[noreturn]] void End();

}  // namespace media
