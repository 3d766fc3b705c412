#pragma once
// Files and URLs. Paths are the game's own: relative to the program's folder, backslashes or
// slashes, any letter case.

#include <cstdint>
#include <memory>
#include <string>

namespace media {

struct TStream;
using Stream = std::shared_ptr<TStream>;

int FileType(const std::string& path);  // 0 nothing, 1 file, 2 folder
// The bytes in a file (at most the largest int); 0 for a folder or nothing.
int FileSize(const std::string& path);
Stream OpenFile(const std::string& path, int readable, int writeable);
int Eof(const Stream& stream);
int ReadInt(const Stream& stream);
void Close(const Stream& stream);
void OpenURL(const std::string& url);

// The path on disk for a game path: backslashes become "/", and each component is matched
// without regard to letter case against what exists. Components that match nothing are kept.
std::string map_path(const std::string& path);
// Makes the game's folder the working directory, for every relative path the game uses: the
// executable's own folder when it holds the game's data (the build tree's game folder), else
// `installed_data`, a folder given relative to the executable's (where an installed game keeps
// its data), when that exists; else the executable's folder still.
void enter_program_folder(const std::string& installed_data);

}  // namespace media
