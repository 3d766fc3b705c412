#pragma once
// Sounds decoded completely at load, played on channels.

#include <memory>
#include <string>

namespace media {

constexpr int sound_loop = 1;
constexpr int sound_hardware = 2;

struct TSound;
struct TChannel;
using Sound = std::shared_ptr<TSound>;
using Channel = std::shared_ptr<TChannel>;

Sound LoadSound(const std::string& path, int flags);
// Starts reading and decoding the sound file at `path` on a thread of its own, so that the next
// LoadSound of the same path takes the samples from there, waiting for them if need be, instead
// of decoding the file itself: long music can decode while other files load. The sound loaded
// is the same either way, none included; a file changed on disk in between loads as it was at
// the prefetch. Each prefetch serves one load; one never loaded is waited for and dropped when
// the media layer is reset.
void PrefetchSound(const std::string& path);
// An idle channel: every operation on it does nothing and it never reports playing.
Channel CreateChannel();
Channel PlaySound(const Sound& sound, const Channel& channel = nullptr);
int ChannelPlaying(const Channel& channel);
void PauseChannel(const Channel& channel);
void ResumeChannel(const Channel& channel);

}  // namespace media
