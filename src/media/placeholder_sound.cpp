// Temporary definitions so the tree links; the sound developer replaces this file.
#include "media/internal.h"
#include "media/sound.h"

namespace media {
Sound LoadSound(const std::string&, int) { return nullptr; }
Channel CreateChannel() { return nullptr; }
Channel PlaySound(const Sound&, const Channel&) { return nullptr; }
int ChannelPlaying(const Channel&) { return 0; }
void PauseChannel(const Channel&) {}
void ResumeChannel(const Channel&) {}
namespace detail {
void reset_sound_state(BackendKind) {}
void shutdown_sound() {}
}  // namespace detail
}  // namespace media
