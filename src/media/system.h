#pragma once
// Clock, random numbers and program end.

#include <cstdint>
#include <string>

namespace media {

// Milliseconds, signed 32-bit, wrapping. The time the frame loop stood still while the window was
// away (see WaitTimer) is left out: the game goes on from where it stopped.
std::int32_t MilliSecs();
void Delay(int ms);
void SeedRnd(int seed);
int Rand(int min, int max);
// Runs the exit handlers (display closed, audio shut down) and ends with status 0.
[[noreturn]] void End();
// Stops the program at once with `message` on standard error and status 1: for the few faults
// the game cannot go on from (a level file that is not there).
[[noreturn]] void Fail(const std::string& message);

}  // namespace media
