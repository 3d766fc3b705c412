// Sounds and channels. A sound is one audio buffer; each simultaneous play of it needs a voice
// of its own, made on demand and reused once free. A channel controls the voice it claimed only
// until someone else claims that voice.

#include <exception>
#include <map>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "media/detail/audio_output.h"
#include "media/detail/game_file.h"
#include "media/detail/internal.h"
#include "media/detail/sound_internal.h"
#include "media/files.h"

namespace media {
namespace {

struct Voice {
  std::unique_ptr<detail::OutputVoice> output;
  unsigned claim = 0;   // bumped by each channel that takes the voice
  bool paused = false;  // by a channel: the voice is busy though it is not playing

  bool free() { return !paused && !output->playing(); }
};

}  // namespace

struct TSound {
  std::unique_ptr<detail::OutputBuffer> buffer;  // none on the silent output
  bool loop = false;
  // After the buffer, so that the voices playing it go first.
  std::vector<std::unique_ptr<Voice>> voices;
};

struct TChannel {
  float volume = 1;
  float pan = 0;
  float rate = 1;
  Sound sound;            // none while idle
  std::size_t voice = 0;  // which of the sound's voices
  unsigned claim = 0;     // the voice's claim number when this channel took it
  bool loop = false;

  TChannel() = default;
  TChannel(const TChannel&) = delete;
  TChannel& operator=(const TChannel&) = delete;
  // Nobody can resume a paused voice any more: it stops and is free again. A playing one plays
  // on to its end, which is how effects are fired and forgotten.
  ~TChannel() {
    if (Voice* v = held(); v && v->paused) stop(*v);
  }

  // The voice while this channel still holds it.
  Voice* held() const {
    if (!sound) return nullptr;
    Voice& v = *sound->voices[voice];
    return v.claim == claim ? &v : nullptr;
  }
  // The held voice unless it has finished; a finished one is let go.
  Voice* held_unfinished() {
    Voice* v = held();
    if (v && v->free()) {
      sound = nullptr;
      return nullptr;
    }
    return v;
  }
  static void stop(Voice& v) {
    v.output->rewind();
    v.paused = false;
  }
};

namespace {

std::optional<detail::AudioSample> decode(const std::vector<std::uint8_t>& bytes) {
  if (auto wav = detail::decode_wav(bytes.data(), bytes.size())) return wav;
  return detail::decode_ogg(bytes.data(), bytes.size());
}

std::optional<detail::AudioSample> read_sound(const std::string& disk_path) {
  std::optional<std::vector<std::uint8_t>> bytes =
      detail::read_game_file(disk_path, detail::max_sound_file_bytes);
  if (!bytes) return std::nullopt;
  return decode(*bytes);
}

// A sound file read and decoded on a thread of its own from PrefetchSound until a LoadSound
// takes the samples. The thread touches nothing but the file and its own members; what it
// throws (running out of memory) comes out of the load, as it would without the prefetch.
class PrefetchedSound {
 public:
  explicit PrefetchedSound(const std::string& disk_path)
      : thread_([this, disk_path] {
          try {
            sample_ = read_sound(disk_path);
          } catch (...) {
            failure_ = std::current_exception();
          }
        }) {}

  std::optional<detail::AudioSample> take() {
    thread_.join();
    if (failure_) std::rethrow_exception(failure_);
    return std::move(sample_);
  }

 private:
  std::optional<detail::AudioSample> sample_;
  std::exception_ptr failure_;
  std::jthread thread_;  // after what it fills: started once they exist, joined before they go
};

struct SoundState {
  std::shared_ptr<detail::AudioOutput> output;
  bool held = false;  // while the window is away
  // By path on disk; a path prefetched twice is there twice, for two loads.
  std::multimap<std::string, std::unique_ptr<PrefetchedSound>> prefetched;
};

SoundState& state() {
  static SoundState s;
  return s;
}

detail::AudioOutput& output() {
  SoundState& s = state();
  if (!s.output) {
    s.output = backend().make_audio_output();
    if (s.held) s.output->hold(true);
  }
  return *s.output;
}

// The samples of the file, prefetched or read now.
std::optional<detail::AudioSample> take_or_read_sound(const std::string& disk_path) {
  auto& prefetched = state().prefetched;
  const auto it = prefetched.find(disk_path);
  if (it == prefetched.end()) return read_sound(disk_path);
  const std::unique_ptr<PrefetchedSound> taken = std::move(it->second);
  prefetched.erase(it);
  return taken->take();
}

// Which voice of the sound is free, made if need be; none when every voice is busy and the
// output can make no more.
std::optional<std::size_t> free_voice(TSound& sound) {
  for (std::size_t i = 0; i < sound.voices.size(); ++i) {
    if (sound.voices[i]->free()) return i;
  }
  std::unique_ptr<detail::OutputVoice> output = sound.buffer->make_voice();
  if (!output) return std::nullopt;
  sound.voices.push_back(std::make_unique<Voice>());
  sound.voices.back()->output = std::move(output);
  return sound.voices.size() - 1;
}

// Whatever the channel played stops; the sound starts from its beginning on a voice of its own.
void cue(TChannel& channel, const Sound& sound) {
  if (Voice* old = channel.held()) TChannel::stop(*old);
  channel.sound = nullptr;
  if (!sound || !sound->buffer) return;
  std::optional<std::size_t> index = free_voice(*sound);
  if (!index) return;
  Voice& v = *sound->voices[*index];
  channel.sound = sound;
  channel.voice = *index;
  channel.claim = ++v.claim;
  channel.loop = sound->loop;
  v.output->rewind();
  v.output->set_mix(channel.volume, channel.pan, channel.rate);
  v.output->play(channel.loop);
}

}  // namespace

Sound LoadSound(const std::string& path, int flags) {
  detail::AudioOutput& out = output();
  std::optional<detail::AudioSample> sample = take_or_read_sound(map_path(path));
  if (!sample) return nullptr;
  auto sound = std::make_shared<TSound>();
  sound->buffer = out.make_buffer(*sample);
  sound->loop = (flags & sound_loop) != 0;
  return sound;
}

void PrefetchSound(const std::string& path) {
  const std::string disk_path = map_path(path);
  try {
    state().prefetched.emplace(disk_path, std::make_unique<PrefetchedSound>(disk_path));
  } catch (const std::system_error&) {
    // No thread to be had: the load will decode it itself.
  }
}

Channel CreateChannel() {
  return std::make_shared<TChannel>();
}

Channel PlaySound(const Sound& sound, const Channel& channel) {
  Channel target = channel ? channel : CreateChannel();
  cue(*target, sound);
  return target;
}

int ChannelPlaying(const Channel& channel) {
  if (!channel) return 0;
  Voice* v = channel->held();
  return v && !v->paused && v->output->playing() ? 1 : 0;
}

void PauseChannel(const Channel& channel) {
  if (!channel) return;
  if (Voice* v = channel->held_unfinished()) {
    v->output->pause();
    v->paused = true;
  }
}

// Only a paused voice is continued: asking a playing one to play would start it over.
void ResumeChannel(const Channel& channel) {
  if (!channel) return;
  Voice* v = channel->held_unfinished();
  if (!v || !v->paused) return;
  v->output->play(channel->loop);
  v->paused = false;
}

namespace detail {

// Prefetches still decoding are waited for: nothing goes on running into the next run.
void reset_sound_state() {
  state().prefetched.clear();
  state().output.reset();
  state().held = false;
}

void use_audio_output(std::shared_ptr<AudioOutput> output) {
  state().output = std::move(output);
  if (state().held) state().output->hold(true);
}

// The output is not made for this: with no sound loaded there is nothing to hold.
void hold_sound(bool held) {
  SoundState& s = state();
  s.held = held;
  if (s.output) s.output->hold(held);
}

void shutdown_sound() {
  state().prefetched.clear();
  state().output.reset();
}

int prefetched_sound_count() {
  return static_cast<int>(state().prefetched.size());
}

int voice_count(const Sound& sound) {
  return sound ? static_cast<int>(sound->voices.size()) : 0;
}

bool sound_is_silent(const Sound& sound) {
  return sound && !sound->buffer;
}

std::optional<double> channel_offset_seconds(const Channel& channel) {
  Voice* v = channel ? channel->held() : nullptr;
  if (!v) return std::nullopt;
  return v->output->offset_seconds();
}

}  // namespace detail
}  // namespace media
