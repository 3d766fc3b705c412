// Level and loop checks on finished audio.
#pragma once

#include "audio.h"

namespace soundgen {

// Subtracts each channel's mean, so the sound sits centred on zero.
void remove_dc(Audio& audio);

// Scales every sample so the loudest one reaches peak (silence is left alone).
void normalise_peak(Audio& audio, double peak);

double peak_level(const Audio& audio);

// A looping sound plays its first frame right after its last. The seam is smooth when, in every
// channel, that step is no bigger than the biggest step between neighbouring frames within
// `window` frames on either side of it (the wrap then sounds like any other moment of the music).
bool loop_seam_is_smooth(const Audio& audio, std::size_t window);

}  // namespace soundgen
