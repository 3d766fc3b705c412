// The voice of the synthesiser: one oscillator (or two, slightly detuned) through an optional
// filter and an ADSR envelope. Effects and music are both made of such notes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "audio.h"

namespace soundgen {

enum class Wave { sine, pulse, triangle, saw, noise };
enum class FilterMode { none, lowpass, bandpass, highpass };

struct Patch {
  Wave wave = Wave::pulse;
  double duty = 0.5;  // share of the period a pulse is high
  // Envelope, in seconds; sustain is a level in [0, 1].
  double attack = 0.002;
  double decay = 0.1;
  double sustain = 0.7;
  double release = 0.05;
  double gain = 0.5;
  double pan = 0.0;  // -1 left .. 1 right; ignored for mono output
  // Vibrato: depth in semitones, reached gradually after the delay.
  double vibrato_rate = 0.0;
  double vibrato_depth = 0.0;
  double vibrato_delay = 0.0;
  double detune = 0.0;  // cents; a second oscillator this far above the first when non-zero
  // Fixed pitch in hertz (drum hits and effects); 0 takes the pitch of the written note.
  double freq = 0.0;
  double freq_to = 0.0;     // end of an exponential pitch sweep; 0 = no sweep
  double sweep_time = 0.0;  // seconds the sweep takes; 0 = the whole sounding length
  FilterMode filter = FilterMode::none;
  double cutoff = 1000.0;
  double cutoff_to = 0.0;  // 0 = the cutoff stays put
  double resonance = 0.7;  // the filter's Q
  double gate = 1.0;       // share of a written note's length held before the release
};

struct NoteEvent {
  std::size_t start = 0;  // first frame
  double gate = 0.0;      // seconds held before the release starts
  double freq = 440.0;    // hertz at the start
  double freq_to = 0.0;   // hertz at the end of the sweep; 0 = steady
};

// Drum hits and effects sound at the patch's own pitch: noise has none, others name it in freq.
bool has_fixed_pitch(const Patch& patch);

// Seconds from the start of a note until its release has died away.
double sounding_length(const Patch& patch, const NoteEvent& note);

// Adds the note into out. Frames past the end wrap round to the start when wrap is set (a
// looping piece carries its last notes' tails into its first bar), otherwise they are dropped.
// The seed makes noise repeatable: the same seed gives the same samples.
void render_note(const Patch& patch, const NoteEvent& note, Audio& out, bool wrap,
                 std::uint32_t seed);

// Frequency in hertz of a MIDI-style note number (69 = A4 = 440 Hz).
double note_frequency(int note_number);

}  // namespace soundgen
