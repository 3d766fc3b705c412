#pragma once
// Fixtures shared by the tests: a fresh headless media layer, and a scratch folder that is the
// working directory (the "program folder") for the test's relative paths.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "media/headless.h"
#include "media/media.h"

namespace test_support {

// A new empty folder under the system's temporary folder, made the working directory while the
// object lives, and removed with everything in it afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `bytes` to the relative path `name` (folders made as needed); returns the full path.
  std::filesystem::path write(const std::string& name, const std::vector<unsigned char>& bytes);
  std::filesystem::path write(const std::string& name, const std::string& text);

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// Runs `body` and returns the status it ended the program with, or nothing if it returned.
std::optional<int> program_end_status(const std::function<void()>& body);

}  // namespace test_support

// Every test of this fixture starts on a headless media layer in its start-of-run state, with a
// scratch folder as the working directory.
class HeadlessTest : public ::testing::Test {
 protected:
  media::HeadlessBackend& hb = media::use_headless();
  test_support::ScratchFolder scratch;
};

// A headless media layer and a fresh program: no menu pictures, catalogue, timer or game manager
// left over from another test, before or after.
class GameTest : public HeadlessTest {
 protected:
  GameTest();
  ~GameTest() override;
};
