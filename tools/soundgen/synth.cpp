#include "synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace soundgen {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Removes most of the aliasing of the hard edges in saw and pulse waves.
double poly_blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

class Oscillator {
 public:
  Oscillator(Wave wave, double duty, std::uint32_t seed)
      : wave_(wave), duty_(std::clamp(duty, 0.01, 0.99)), noise_(seed ? seed : 0x9e3779b9u) {}

  double next(double phase_step) {
    const double t = phase_;
    phase_ += phase_step;
    phase_ -= std::floor(phase_);
    switch (wave_) {
      case Wave::sine:
        return std::sin(kTwoPi * t);
      case Wave::triangle:
        return t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
      case Wave::saw:
        return 2.0 * t - 1.0 - poly_blep(t, phase_step);
      case Wave::pulse: {
        const double naive = t < duty_ ? 1.0 : -1.0;
        const double falling = t + 1.0 - duty_;
        // Centred on zero: a narrow pulse would otherwise carry a constant offset.
        return naive + poly_blep(t, phase_step) -
               poly_blep(falling - std::floor(falling), phase_step) - (2.0 * duty_ - 1.0);
      }
      case Wave::noise:
        return white_noise();
    }
    return 0.0;
  }

 private:
  double white_noise() {
    noise_ ^= noise_ << 13;
    noise_ ^= noise_ >> 17;
    noise_ ^= noise_ << 5;
    return static_cast<double>(noise_) / 2147483648.0 - 1.0;
  }

  Wave wave_;
  double duty_;
  double phase_ = 0.0;
  std::uint32_t noise_;
};

// A state-variable filter in the trapezoidal form, which stays stable however the cutoff moves.
class Filter {
 public:
  Filter(FilterMode mode, double resonance) : mode_(mode), k_(1.0 / std::max(resonance, 0.05)) {}

  void set_cutoff(double cutoff, double rate) {
    const double limited = std::clamp(cutoff, 10.0, rate * 0.45);
    const double g = std::tan(std::numbers::pi * limited / rate);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
  }

  double process(double in) {
    if (mode_ == FilterMode::none) return in;
    const double v3 = in - ic2_;
    const double v1 = a1_ * ic1_ + a2_ * v3;
    const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0 * v1 - ic1_;
    ic2_ = 2.0 * v2 - ic2_;
    switch (mode_) {
      case FilterMode::lowpass:
        return v2;
      case FilterMode::bandpass:
        return v1;
      case FilterMode::highpass:
        return in - k_ * v1 - v2;
      case FilterMode::none:
        break;
    }
    return in;
  }

 private:
  FilterMode mode_;
  double k_;
  double a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
  double ic1_ = 0.0, ic2_ = 0.0;
};

double held_level(const Patch& patch, double t) {
  if (t < patch.attack) return t / patch.attack;
  const double u = patch.decay > 0.0 ? (t - patch.attack) / patch.decay : 1.0;
  if (u >= 1.0) return patch.sustain;
  return patch.sustain + (1.0 - patch.sustain) * (1.0 - u) * (1.0 - u);
}

double envelope(const Patch& patch, double gate, double t) {
  if (t < gate) return held_level(patch, t);
  if (patch.release <= 0.0) return 0.0;
  const double u = (t - gate) / patch.release;
  if (u >= 1.0) return 0.0;
  return held_level(patch, gate) * (1.0 - u) * (1.0 - u);
}

// Exponential glide from 'from' to 'to' over 'time' seconds, then steady.
double swept(double from, double to, double time, double t) {
  if (from <= 0.0 || to <= 0.0 || time <= 0.0) return from;
  const double u = std::min(t / time, 1.0);
  return from * std::pow(to / from, u);
}

double vibrato_factor(const Patch& patch, double t) {
  if (patch.vibrato_depth == 0.0 || t < patch.vibrato_delay) return 1.0;
  const double fade_in = std::min((t - patch.vibrato_delay) / 0.15, 1.0);
  const double semitones =
      patch.vibrato_depth * fade_in * std::sin(kTwoPi * patch.vibrato_rate * t);
  return std::exp2(semitones / 12.0);
}

}  // namespace

bool has_fixed_pitch(const Patch& patch) {
  return patch.freq > 0.0 || patch.wave == Wave::noise;
}

double sounding_length(const Patch& patch, const NoteEvent& note) {
  return note.gate + std::max(patch.release, 0.0);
}

double note_frequency(int note_number) {
  return 440.0 * std::exp2((note_number - 69) / 12.0);
}

void render_note(const Patch& patch, const NoteEvent& note, Audio& out, bool wrap,
                 std::uint32_t seed) {
  const std::size_t total = out.frames();
  if (total == 0) return;
  const double rate = out.rate;
  const double length = sounding_length(patch, note);
  const std::size_t count = static_cast<std::size_t>(std::ceil(length * rate));
  const double sweep_time = patch.sweep_time > 0.0 ? patch.sweep_time : length;

  Oscillator first(patch.wave, patch.duty, seed);
  Oscillator second(patch.wave, patch.duty, seed * 2654435761u + 1u);
  const double detune_ratio = std::exp2(patch.detune / 1200.0);
  Filter filter(patch.filter, patch.resonance);
  const bool moving_cutoff = patch.cutoff_to > 0.0;
  filter.set_cutoff(patch.cutoff, rate);

  double left = 1.0, right = 1.0;
  if (out.channels == 2) {
    const double angle = (std::clamp(patch.pan, -1.0, 1.0) + 1.0) * std::numbers::pi / 4.0;
    left = std::cos(angle) * std::numbers::sqrt2;
    right = std::sin(angle) * std::numbers::sqrt2;
  }

  for (std::size_t i = 0; i < count; ++i) {
    std::size_t frame = note.start + i;
    if (frame >= total) {
      if (!wrap) break;
      frame %= total;
    }
    const double t = i / rate;
    const double freq = swept(note.freq, note.freq_to, sweep_time, t) * vibrato_factor(patch, t);
    const double step = freq / rate;
    double sample = first.next(step);
    if (patch.detune != 0.0) sample = 0.5 * (sample + second.next(step * detune_ratio));
    if (moving_cutoff) filter.set_cutoff(swept(patch.cutoff, patch.cutoff_to, length, t), rate);
    sample = filter.process(sample) * envelope(patch, note.gate, t) * patch.gain;
    out.at(frame, 0) += static_cast<float>(sample * left);
    if (out.channels == 2) out.at(frame, 1) += static_cast<float>(sample * right);
  }
}

}  // namespace soundgen
