#pragma once
// What tests and tools may ask of the sound module beyond the game's operations. Media-internal.

#include <memory>
#include <optional>

#include "media/sound.h"

namespace media::detail {

class AudioOutput;

// Sounds loaded from now on go to `output` instead of the back end's own (a test of the real
// device on the headless back end).
void use_audio_output(std::shared_ptr<AudioOutput> output);

// How many prefetched sounds no LoadSound has taken yet.
int prefetched_sound_count();
// How many voices the sound has made so far (each one was needed by a simultaneous play).
int voice_count(const Sound& sound);
// True for a sound loaded while no audio device was usable: it loads but never plays.
bool sound_is_silent(const Sound& sound);
// Seconds into the sample of the voice the channel holds; none when it holds none.
std::optional<double> channel_offset_seconds(const Channel& channel);

}  // namespace media::detail
