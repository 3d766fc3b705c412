#include "support/headless_test.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "shell/globals.h"

namespace test_support {

ScratchFolder::ScratchFolder() : previous_(std::filesystem::current_path()) {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("hedgerow-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
  std::filesystem::current_path(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path ScratchFolder::write(const std::string& name,
                                           const std::vector<unsigned char>& bytes) {
  std::filesystem::path full = path_ / name;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return full;
}

std::filesystem::path ScratchFolder::write(const std::string& name, const std::string& text) {
  return write(name, std::vector<unsigned char>(text.begin(), text.end()));
}

std::optional<int> program_end_status(const std::function<void()>& body) {
  try {
    body();
  } catch (const media::ProgramEnded& e) {
    return e.status;
  }
  return std::nullopt;
}

}  // namespace test_support

GameTest::GameTest() {
  reset_globals();
}

GameTest::~GameTest() {
  reset_globals();
}
