#include "media/detail/game_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace media::detail {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Fills `bytes` from the descriptor, or as much of it as the file still holds when it was cut
// short meanwhile. False on a read error.
bool read_into(int fd, std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return true;
}

}  // namespace

int open_plain_file(const std::string& disk_path, int flags) {
  // Anything else already there is never opened: opening a device can do something by itself.
  struct stat st;
  if (::stat(disk_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return -1;
  // Should a pipe have taken the file's place since, O_NONBLOCK makes the open return at once,
  // and fstat refuses it.
  const int fd = ::open(disk_path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::optional<std::vector<std::uint8_t>> read_game_file(const std::string& disk_path,
                                                        std::size_t max_bytes) {
  const Descriptor file(open_plain_file(disk_path, O_RDONLY));
  struct stat st;
  if (file.get() < 0 || ::fstat(file.get(), &st) != 0) return std::nullopt;
  if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > max_bytes) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
  if (!read_into(file.get(), bytes)) return std::nullopt;
  return bytes;
}

}  // namespace media::detail
