#pragma once
// Opening and reading the game's files on disk. Only plain files are ever opened: a named pipe
// would make the game wait for a writer that never comes, a device or a folder is no game file.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace media::detail {

// The most each loader reads into memory at once. The game's own files are far smaller (the
// largest picture is about 0.2 MiB, each font about 0.15 MiB, the level music about 1.1 MiB);
// the limits only stop a wrong or damaged file from taking the machine's memory.
// - Pictures: a 1024 x 768 picture stored with no compression at all is 3 MiB; 64 MiB is room
//   for any picture meant for this game, with the decoders' own pixel limits behind it.
// - Fonts: the largest faces in common use (every CJK character) are about 20 MiB.
// - Sounds: 256 MiB is 25 minutes of 16-bit 44.1 kHz stereo WAV, well past any level's music.
constexpr std::size_t max_picture_file_bytes = std::size_t{64} << 20;
constexpr std::size_t max_font_file_bytes = std::size_t{32} << 20;
constexpr std::size_t max_sound_file_bytes = std::size_t{256} << 20;

// Opens `disk_path` with the open(2) `flags` (O_CREAT makes it with the usual permissions) if it
// is a plain file, without ever waiting on a pipe or a device. The descriptor, or -1.
int open_plain_file(const std::string& disk_path, int flags);

// The whole of the plain file `disk_path` when it holds at most `max_bytes`; nothing when it is
// missing, unreadable, larger, or not a plain file.
std::optional<std::vector<std::uint8_t>> read_game_file(const std::string& disk_path,
                                                        std::size_t max_bytes);

}  // namespace media::detail
