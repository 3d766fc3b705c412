#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "media/detail/internal.h"
#include "media/files.h"
#include "support/headless_test.h"

using namespace media;
namespace fs = std::filesystem;

using FilesTest = HeadlessTest;

namespace {

using Bytes = std::vector<unsigned char>;

std::string cwd() {
  return fs::current_path().string();
}

std::string fatal_message_of_read(const Stream& stream) {
  try {
    ReadInt(stream);
  } catch (const FatalError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST_F(FilesTest, ReadsLittleEndianIntsUntilEof) {
  scratch.write("data/save.dat", Bytes{0x07, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02});
  Stream s = OpenFile("data\\save.dat", 1, 1);
  ASSERT_TRUE(s);
  EXPECT_EQ(Eof(s), 0);
  EXPECT_EQ(ReadInt(s), 7);
  EXPECT_EQ(Eof(s), 0);
  EXPECT_EQ(ReadInt(s), -1);
  EXPECT_EQ(Eof(s), 0);  // two bytes left: not at the end, yet not an int either
  const std::string message = fatal_message_of_read(s);
  EXPECT_NE(message.find("Error reading from stream"), std::string::npos) << message;
  EXPECT_NE(message.find("data/save.dat"), std::string::npos) << message;
  Close(s);
  EXPECT_EQ(Eof(s), 1);
}

TEST_F(FilesTest, EmptyFileIsAtItsEndAtOnce) {
  scratch.write("empty.dat", std::string());
  Stream s = OpenFile("empty.dat", 1, 1);
  ASSERT_TRUE(s);
  EXPECT_EQ(Eof(s), 1);
  EXPECT_THROW(ReadInt(s), FatalError);
}

TEST_F(FilesTest, GamePathsFindTheLowerCaseTree) {
  scratch.write("data/graphics/ground_1.png", "x");
  EXPECT_EQ(FileType("data"), 2);
  EXPECT_EQ(FileType("Data\\Graphics\\ground_1.png"), 1);
  EXPECT_EQ(FileType("DATA\\graphics\\GROUND_1.PNG"), 1);
  EXPECT_EQ(FileType("data\\save.dat"), 0);
  EXPECT_EQ(FileType("nothing\\graphics\\ground_1.png"), 0);
  EXPECT_EQ(FileType(""), 0);
  EXPECT_EQ(map_path("Data\\Graphics\\ground_1.png"), "data/graphics/ground_1.png");
  // Parts that match nothing keep the game's spelling; the path stays relative.
  EXPECT_EQ(map_path("Data\\Sound\\Jump.WAV"), "data/Sound/Jump.WAV");
  EXPECT_EQ(map_path(cwd() + "/DATA/graphics"), cwd() + "/data/graphics");
}

TEST_F(FilesTest, FileSizeCountsTheBytesOfFilesOnly) {
  scratch.write("data/save.dat", Bytes{1, 2, 3, 4, 5, 6, 7});
  scratch.write("empty.dat", std::string());
  EXPECT_EQ(FileSize("Data\\Save.dat"), 7);
  EXPECT_EQ(FileSize("empty.dat"), 0);
  EXPECT_EQ(FileSize("data"), 0);
  EXPECT_EQ(FileSize("missing.dat"), 0);
  EXPECT_EQ(FileSize(""), 0);
}

TEST_F(FilesTest, ExactSpellingWinsOverAnotherCase) {
  scratch.write("Fonts/a.ttf", "upper");
  scratch.write("fonts/a.ttf", "lower");
  EXPECT_EQ(map_path("fonts\\a.ttf"), "fonts/a.ttf");
  EXPECT_EQ(map_path("Fonts\\a.ttf"), "Fonts/a.ttf");
  EXPECT_EQ(map_path("FONTS\\A.TTF"), "Fonts/a.ttf");  // the same choice every time
}

TEST_F(FilesTest, FailedOpensReturnNoneAndCreateNothing) {
  EXPECT_FALSE(OpenFile("data\\save.dat", 1, 1));
  EXPECT_FALSE(OpenFile("missing.dat", 1, 0));
  EXPECT_FALSE(fs::exists("data/save.dat"));
  EXPECT_FALSE(fs::exists("missing.dat"));

  scratch.write("data/locked.dat", Bytes{1, 0, 0, 0});
  fs::permissions("data/locked.dat", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_FALSE(OpenFile("data\\locked.dat", 1, 1));
  EXPECT_FALSE(OpenFile("data\\locked.dat", 0, 1));  // and not emptied by the attempt
  Stream readable = OpenFile("data\\locked.dat", 1, 0);
  ASSERT_TRUE(readable);
  EXPECT_EQ(ReadInt(readable), 1);

  EXPECT_FALSE(OpenFile("data", 1, 0));  // a folder is not a stream
}

TEST_F(FilesTest, PipesAndDevicesAreRefusedInEveryModeWithoutWaiting) {
  ASSERT_EQ(::mkfifo("pipe.dat", 0600), 0);
  EXPECT_FALSE(OpenFile("pipe.dat", 1, 0));  // would wait for a writer
  EXPECT_FALSE(OpenFile("pipe.dat", 0, 1));  // would wait for a reader
  EXPECT_FALSE(OpenFile("pipe.dat", 1, 1));
  EXPECT_FALSE(OpenFile("/dev/null", 1, 1));
  EXPECT_FALSE(OpenFile("/dev/null", 0, 1));
  fs::create_directory("folder.dat");
  EXPECT_FALSE(OpenFile("folder.dat", 0, 1));
}

TEST_F(FilesTest, WriteOnlyCreatesTheFile) {
  EXPECT_TRUE(OpenFile("new.dat", 0, 1));
  EXPECT_EQ(FileType("new.dat"), 1);
}

TEST_F(FilesTest, OpenUrlTurnsPresentFilesIntoFileAddresses) {
  scratch.write("play.url", "[InternetShortcut]");
  scratch.write("fscommand/wgame.exe", "x");
  OpenURL("play.url");
  OpenURL("FSCommand\\wgame.exe");
  OpenURL("sub/../play.url#top");
  OpenURL("example.org/page#here");
  OpenURL("HTTPS://example.org/x");
  OpenURL("File:/somewhere");
  OpenURL("http:plain");
  const std::vector<std::string> expected = {
      "file:" + cwd() + "/play.url",
      "file:" + cwd() + "/fscommand/wgame.exe",
      "file:" + cwd() + "/play.url#top",
      "http:example.org/page#here",
      "HTTPS://example.org/x",
      "File:/somewhere",
      "http:plain",
  };
  EXPECT_EQ(hb.opened_urls(), expected);
}

TEST_F(FilesTest, ProgramFolderIsWhereTheExecutableLivesWhenNothingIsInstalledBesideIt) {
  enter_program_folder("../share/hedgerow");
  EXPECT_EQ(fs::current_path(), fs::read_symlink("/proc/self/exe").parent_path());
}

TEST_F(FilesTest, ProgramFolderIsTheBuildTreesGameFolderElseTheInstalledDataFolder) {
  const std::string root = scratch.path().string();
  scratch.write("build/game/data/save.dat", "");
  scratch.write("build/share/hedgerow/data/save.dat", "");  // beside wins over installed
  EXPECT_EQ(detail::program_folder(root + "/build/game", "../share/hedgerow"),
            root + "/build/game");

  scratch.write("usr/bin/hedgerow", "");
  scratch.write("usr/share/hedgerow/data/save.dat", "");
  EXPECT_EQ(detail::program_folder(root + "/usr/bin", "../share/hedgerow"),
            root + "/usr/share/hedgerow");
  scratch.write("usr/games/hedgerow", "");
  scratch.write("usr/share/games/hedgerow/data/save.dat", "");
  EXPECT_EQ(detail::program_folder(root + "/usr/games", "../share/games/hedgerow"),
            root + "/usr/share/games/hedgerow");

  // A file named data is not the game's data, and nothing installed leaves the executable's own.
  scratch.write("opt/bin/data", "");
  EXPECT_EQ(detail::program_folder(root + "/opt/bin", "../share/hedgerow"), root + "/opt/bin");
}
