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
// Makes the folder of the running executable the working directory.
void enter_program_folder();

}  // namespace media
