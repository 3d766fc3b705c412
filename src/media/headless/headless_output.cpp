// Outputs that make no sound: voices that play out on the headless back end's virtual clock, so
// a test can tell to the millisecond when an effect ends, and the silent output used when there
// is no audio device.

#include <algorithm>
#include <cmath>

#include "media/detail/audio_output.h"
#include "media/system.h"

namespace media::detail {
namespace {

class VirtualVoice final : public OutputVoice {
 public:
  VirtualVoice(std::size_t frames, int rate) : frames_(static_cast<double>(frames)), rate_(rate) {}

  void play(bool loop) override {
    settle();
    if (state_ == State::at_rest) position_ = 0;
    state_ = State::playing;
    since_ms_ = MilliSecs();
    loop_ = loop;
  }
  void pause() override {
    settle();
    if (state_ != State::playing) return;
    position_ = wrapped(position_now());
    state_ = State::paused;
  }
  void rewind() override {
    state_ = State::at_rest;
    position_ = 0;
  }
  void set_mix(float, float, float rate) override {
    // The position so far was reached at the old rate.
    if (state_ == State::playing) {
      position_ = position_now();
      since_ms_ = MilliSecs();
    }
    rate_factor_ = std::max(0.0, static_cast<double>(rate));
  }
  bool playing() override {
    settle();
    return state_ == State::playing;
  }
  double offset_seconds() override {
    settle();
    return wrapped(position_now()) / rate_;
  }

 private:
  enum class State { at_rest, playing, paused };

  double position_now() const {
    if (state_ != State::playing) return position_;
    auto elapsed = static_cast<std::int32_t>(static_cast<std::uint32_t>(MilliSecs()) -
                                             static_cast<std::uint32_t>(since_ms_));
    return position_ + std::max(0, elapsed) * rate_ * rate_factor_ / 1000.0;
  }
  double wrapped(double position) const {
    return loop_ && frames_ > 0 ? std::fmod(position, frames_) : std::min(position, frames_);
  }
  // A voice playing once comes to rest at the end of its sample, back at the beginning.
  void settle() {
    if (state_ != State::playing || (loop_ && frames_ > 0)) return;
    if (position_now() >= frames_) rewind();
  }

  double frames_;
  double rate_;
  double rate_factor_ = 1;
  State state_ = State::at_rest;
  double position_ = 0;  // in frames, when paused or at `since_ms_` when playing
  std::int32_t since_ms_ = 0;
  bool loop_ = false;
};

class VirtualBuffer final : public OutputBuffer {
 public:
  explicit VirtualBuffer(const AudioSample& sample) : frames_(sample.frames), rate_(sample.rate) {}
  std::unique_ptr<OutputVoice> make_voice() override {
    return std::make_unique<VirtualVoice>(frames_, rate_);
  }

 private:
  std::size_t frames_;
  int rate_;
};

class VirtualTimeOutput final : public AudioOutput {
 public:
  std::unique_ptr<OutputBuffer> make_buffer(const AudioSample& sample) override {
    return std::make_unique<VirtualBuffer>(sample);
  }
};

class SilentOutput final : public AudioOutput {
 public:
  std::unique_ptr<OutputBuffer> make_buffer(const AudioSample&) override { return nullptr; }
};

}  // namespace

std::shared_ptr<AudioOutput> make_virtual_time_output() {
  return std::make_shared<VirtualTimeOutput>();
}
std::shared_ptr<AudioOutput> make_silent_output() {
  return std::make_shared<SilentOutput>();
}

}  // namespace media::detail
