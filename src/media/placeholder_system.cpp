// Temporary definitions so the tree links; the system/files developer replaces this file.
#include "media/files.h"
#include "media/internal.h"
#include "media/system.h"

namespace media {
std::int32_t MilliSecs() { return backend().millisecs(); }
void Delay(int ms) { backend().delay(ms); }
void SeedRnd(int) {}
int Rand(int min, int) { return min; }
void End() { backend().end_program(0); }
int FileType(const std::string&) { return 0; }
Stream OpenFile(const std::string&, int, int) { return nullptr; }
int Eof(const Stream&) { return 1; }
int ReadInt(const Stream&) { return 0; }
void Close(const Stream&) {}
void OpenURL(const std::string& url) { backend().open_url(url); }
std::string map_path(const std::string& path) { return path; }
void enter_program_folder() {}
namespace detail {
void reset_system_state() {}
void reset_files_state() {}
}  // namespace detail
}  // namespace media
