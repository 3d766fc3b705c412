#pragma once
// Where sounds are heard: OpenAL on the real back end, a virtual-time player on the headless
// one, and a silent output when there is no audio device. Media-internal.

#include <memory>

#include "media/decode/sound_decode.h"

namespace media::detail {

// One playable copy of a sound's buffer. A voice that is neither playing nor paused is at rest.
class OutputVoice {
 public:
  virtual ~OutputVoice() = default;
  // Plays from the current position; a voice at rest starts from the beginning.
  virtual void play(bool loop) = 0;
  // Stops where it is; play() continues from there.
  virtual void pause() = 0;
  // Stops and goes back to the beginning.
  virtual void rewind() = 0;
  // volume 0...1, pan -1 (left)...1 (right), rate a factor of the sample's own rate.
  virtual void set_mix(float volume, float pan, float rate) = 0;
  // True while the output is playing it (a finished voice is no longer playing).
  virtual bool playing() = 0;
  // Seconds from the beginning of the sample.
  virtual double offset_seconds() = 0;
};

// A sample placed in the output, shared by all the voices made from it.
class OutputBuffer {
 public:
  virtual ~OutputBuffer() = default;
  // None when the output can play no more voices at once.
  virtual std::unique_ptr<OutputVoice> make_voice() = 0;
};

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // None on the silent output: its sounds load but never play.
  virtual std::unique_ptr<OutputBuffer> make_buffer(const AudioSample& sample) = 0;
  // Held, nothing is heard and every voice stands where it is, each keeping its state (a voice
  // playing still reports playing); let go, the playing ones go on from there.
  virtual void hold(bool held) = 0;
};

// The outputs. OpenAL's is none when no audio device can be opened.
std::shared_ptr<AudioOutput> open_openal_output();
std::shared_ptr<AudioOutput> make_virtual_time_output();
std::shared_ptr<AudioOutput> make_silent_output();

}  // namespace media::detail
