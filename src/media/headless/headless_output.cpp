// Outputs that make no sound: voices that play out on the headless back end's virtual clock, so
// a test can tell to the millisecond when an effect ends, and the silent output used when there
// is no audio device.

#include <algorithm>
#include <cmath>
#include <memory>

#include "media/detail/audio_output.h"
#include "media/detail/internal.h"

namespace media::detail {
namespace {

// The time the voices of one output play by: the game's clock, less every stretch the output was
// held. Wrapping arithmetic, as the clock wraps.
class VoiceClock {
 public:
  std::int32_t now() const {
    const auto game = static_cast<std::uint32_t>(held_ ? held_at_ : game_clock());
    return static_cast<std::int32_t>(game - left_out_);
  }
  void hold(bool held) {
    if (held == held_) return;
    if (held) {
      held_at_ = game_clock();
    } else {
      left_out_ += static_cast<std::uint32_t>(game_clock()) - static_cast<std::uint32_t>(held_at_);
    }
    held_ = held;
  }

 private:
  bool held_ = false;
  std::int32_t held_at_ = 0;
  std::uint32_t left_out_ = 0;
};

class VirtualVoice final : public OutputVoice {
 public:
  VirtualVoice(std::size_t frames, int rate, std::shared_ptr<const VoiceClock> clock)
      : frames_(static_cast<double>(frames)), rate_(rate), clock_(std::move(clock)) {}

  void play(bool loop) override {
    settle();
    if (state_ == State::at_rest) position_ = 0;
    state_ = State::playing;
    since_ms_ = clock_->now();
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
      since_ms_ = clock_->now();
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
    auto elapsed = static_cast<std::int32_t>(static_cast<std::uint32_t>(clock_->now()) -
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
  std::shared_ptr<const VoiceClock> clock_;
  double rate_factor_ = 1;
  State state_ = State::at_rest;
  double position_ = 0;  // in frames, when paused or at `since_ms_` when playing
  std::int32_t since_ms_ = 0;
  bool loop_ = false;
};

class VirtualBuffer final : public OutputBuffer {
 public:
  VirtualBuffer(const AudioSample& sample, std::shared_ptr<const VoiceClock> clock)
      : frames_(sample.frames), rate_(sample.rate), clock_(std::move(clock)) {}
  std::unique_ptr<OutputVoice> make_voice() override {
    return std::make_unique<VirtualVoice>(frames_, rate_, clock_);
  }

 private:
  std::size_t frames_;
  int rate_;
  std::shared_ptr<const VoiceClock> clock_;
};

class VirtualTimeOutput final : public AudioOutput {
 public:
  std::unique_ptr<OutputBuffer> make_buffer(const AudioSample& sample) override {
    return std::make_unique<VirtualBuffer>(sample, clock_);
  }
  void hold(bool held) override { clock_->hold(held); }

 private:
  std::shared_ptr<VoiceClock> clock_ = std::make_shared<VoiceClock>();
};

class SilentOutput final : public AudioOutput {
 public:
  std::unique_ptr<OutputBuffer> make_buffer(const AudioSample&) override { return nullptr; }
  void hold(bool) override {}
};

}  // namespace

std::shared_ptr<AudioOutput> make_virtual_time_output() {
  return std::make_shared<VirtualTimeOutput>();
}
std::shared_ptr<AudioOutput> make_silent_output() {
  return std::make_shared<SilentOutput>();
}

}  // namespace media::detail
