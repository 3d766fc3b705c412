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
// An idle channel: every operation on it does nothing and it never reports playing.
Channel CreateChannel();
Channel PlaySound(const Sound& sound, const Channel& channel = nullptr);
int ChannelPlaying(const Channel& channel);
void PauseChannel(const Channel& channel);
void ResumeChannel(const Channel& channel);

}  // namespace media
