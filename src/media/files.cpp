#include "media/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "media/detail/game_file.h"
#include "media/detail/internal.h"

namespace fs = std::filesystem;

namespace media {

struct TStream {
  std::FILE* file = nullptr;
  std::string path;  // as found on disk, for messages
  long size = 0;
  long position = 0;

  ~TStream() {
    if (file) std::fclose(file);
  }
};

namespace {

bool exists_on_disk(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool equal_ignoring_case(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// The entry of `folder` whose name matches `name` without regard to case; the smallest such name
// when several do, so the choice does not depend on the order the folder lists them in.
std::string find_ignoring_case(const std::string& folder, const std::string& name) {
  std::string found;
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (equal_ignoring_case(candidate, name) && (found.empty() || candidate < found)) {
      found = std::move(candidate);
    }
  }
  return found;
}

std::vector<std::string> split_components(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

std::string join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string with_slashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

bool starts_with_ignoring_case(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && equal_ignoring_case(text.substr(0, prefix.size()), prefix);
}

// No write permission for anyone. Root could write it all the same; the game must see the same
// refusal whoever runs it.
bool is_read_only(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// The open(2) flags and the stdio mode for the same request. Only writing creates a file.
int open_flags(bool readable, bool writeable) {
  if (readable && writeable) return O_RDWR;
  if (writeable) return O_WRONLY | O_CREAT | O_TRUNC;
  return O_RDONLY;
}

const char* open_mode(bool readable, bool writeable) {
  if (readable && writeable) return "r+b";
  if (writeable) return "wb";
  return "rb";
}

// Only a plain file becomes a stream: the descriptor is opened without waiting on a named pipe
// before stdio takes it over.
std::FILE* open_stream_file(const std::string& disk_path, bool readable, bool writeable) {
  const int fd = detail::open_plain_file(disk_path, open_flags(readable, writeable));
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, open_mode(readable, writeable));
  if (!file) ::close(fd);
  return file;
}

}  // namespace

std::string map_path(const std::string& path) {
  std::string slashed = with_slashes(path);
  if (slashed.empty() || exists_on_disk(slashed)) return slashed;

  std::string mapped = slashed.front() == '/' ? "/" : "";
  const std::vector<std::string> parts = split_components(slashed);
  bool lost = false;  // once a folder is missing, nothing below it can be matched
  for (const std::string& part : parts) {
    std::string name = part;
    if (!lost && part != "." && part != ".." && !exists_on_disk(join(mapped, part))) {
      name = find_ignoring_case(mapped, part);
      if (name.empty()) {
        name = part;
        lost = true;
      }
    }
    mapped = join(mapped, name);
  }
  if (slashed.back() == '/' && mapped.back() != '/') mapped += '/';
  return mapped;
}

namespace detail {

std::string program_folder(const std::string& exe_folder, const std::string& installed_data) {
  std::error_code ec;
  if (fs::is_directory(fs::path(exe_folder) / "data", ec)) return exe_folder;
  const fs::path installed = (fs::path(exe_folder) / installed_data).lexically_normal();
  if (fs::is_directory(installed, ec)) return installed.string();
  return exe_folder;
}

}  // namespace detail

void enter_program_folder(const std::string& installed_data) {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return;  // no /proc: stay where the shell started us
  fs::current_path(detail::program_folder(exe.parent_path().string(), installed_data), ec);
}

int FileType(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(map_path(path).c_str(), &st) != 0) return 0;
  if (S_ISREG(st.st_mode)) return 1;
  if (S_ISDIR(st.st_mode)) return 2;
  return 0;
}

int FileSize(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(map_path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<int>(std::min<off_t>(st.st_size, std::numeric_limits<int>::max()));
}

Stream OpenFile(const std::string& path, int readable, int writeable) {
  auto stream = std::make_shared<TStream>();
  stream->path = map_path(path);
  if (writeable && is_read_only(stream->path)) return nullptr;
  stream->file = open_stream_file(stream->path, readable != 0, writeable != 0);
  if (!stream->file) return nullptr;
  if (std::fseek(stream->file, 0, SEEK_END) != 0) return nullptr;
  stream->size = std::ftell(stream->file);
  if (stream->size < 0 || std::fseek(stream->file, 0, SEEK_SET) != 0) return nullptr;
  return stream;
}

int Eof(const Stream& stream) {
  if (!stream || !stream->file) return 1;
  return stream->position >= stream->size ? 1 : 0;
}

int ReadInt(const Stream& stream) {
  unsigned char b[4];
  if (!stream || !stream->file || std::fread(b, 1, 4, stream->file) != 4) {
    backend().fatal("Error reading from stream: " + (stream ? stream->path : std::string("none")));
  }
  stream->position += 4;
  const std::uint32_t bits = b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24);
  return static_cast<std::int32_t>(bits);
}

void Close(const Stream& stream) {
  if (!stream || !stream->file) return;
  std::fclose(stream->file);
  stream->file = nullptr;
}

namespace {

bool has_scheme(const std::string& url) {
  return starts_with_ignoring_case(url, "http:") || starts_with_ignoring_case(url, "file:") ||
         starts_with_ignoring_case(url, "https:");
}

// A bare name becomes a file: address when it names something on disk, a web address otherwise.
std::string resolve_url(const std::string& url) {
  const std::size_t hash = url.find('#');
  const std::string target = url.substr(0, hash);
  const std::string anchor = hash == std::string::npos ? "" : url.substr(hash);

  std::error_code ec;
  fs::path absolute = fs::path(with_slashes(target));
  if (absolute.is_relative()) absolute = fs::current_path(ec) / absolute;
  const std::string on_disk = map_path(absolute.lexically_normal().string());
  if (!target.empty() && FileType(on_disk) != 0) return "file:" + on_disk + anchor;
  return "http:" + target + anchor;
}

}  // namespace

void OpenURL(const std::string& url) {
  backend().open_url(has_scheme(url) ? url : resolve_url(url));
}

namespace detail {
// Streams belong to their holders and paths are looked up afresh each time: nothing to reset.
void reset_files_state() {}
}  // namespace detail

}  // namespace media
