// The main menu, one frame at a time on the headless back end, with pictures shaped so that the
// pointer's place says exactly what it touches (support/game_files.h).

#include "menu/menu.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "media/display.h"
#include "media/input.h"
#include "media/text.h"
#include "shell/globals.h"
#include "shell/splash.h"
#include "support/game_files.h"
#include "support/headless_test.h"

namespace {

using media::InputEvent;
using test_support::Point;
namespace at = test_support::menu_points;

constexpr std::uint32_t cyan = 0xFF00FFFF;
constexpr std::uint32_t green = 0xFF009600;
constexpr std::uint32_t white = 0xFFFFFFFF;

class MenuTest : public GameTest {
 protected:
  void SetUp() override {
    test_support::write_menu_pictures(scratch);
    load_menu_pictures();
    media::Graphics(1024, 768, 32, 60, 0);
    media::SetBlend(3);
    hb.set_rasterise(false);
  }

  // The menu of a program that has just started, after the optional pictures are in place.
  TMenu& menu() {
    if (!menu_) {
      menu_ = std::make_unique<TMenu>();
      menu_->_lang = "ENG";
    }
    return *menu_;
  }

  void now(const InputEvent& event) { hb.inject_at_time(hb.millisecs(), event); }
  void point_at(Point p) { now({InputEvent::Type::mouse_move, 0, p.x, p.y}); }
  void press() { now({InputEvent::Type::mouse_down, 1}); }
  void release() { now({InputEvent::Type::mouse_up, 1}); }

  // One frame of the menu: its result, and what it drew, in order, by name.
  int frame() {
    const int result = menu().update();
    drawn = describe(hb.draws_since_present());
    media::Flip(-1);
    media::Cls();
    return result;
  }

  std::vector<std::string> describe(const std::vector<media::DrawRecord>& draws) const {
    std::vector<std::string> names;
    for (const media::DrawRecord& d : draws) {
      std::string name = name_of(d);
      if (d.pixmap && d.argb == cyan) name += " in cyan";
      // A text is one draw per glyph: one name for the run.
      if (name.ends_with("text") && !names.empty() && names.back() == name) continue;
      names.push_back(name);
    }
    return names;
  }

  static std::string name_of(const media::DrawRecord& d) {
    if (!d.pixmap) return "backdrop";
    const MenuPictures& p = menu_pictures();
    const std::map<std::string, const media::Image*> known = {
        {"bg", &p.menu_bg_image},
        {"russian screen", &p.menu_images[0]},
        {"english screen", &p.menu_eng_images[3]},
        {"pointer", &p.cursor_image},
        {"english flag", &p.flag_images[1]},
        {"russian flag", &p.flag_images[0]},
        {"russian start", &p.menu_images[1]},
        {"russian exit", &p.menu_images[3]},
        {"english start", &p.menu_eng_images[0]},
        {"english exit", &p.menu_eng_images[2]},
        {"lit logo", &p.logo_a_image},
        {"logo", &p.logo_na_image}};
    for (const auto& [name, image] : known) {
      if (*image && d.pixmap == &(*image)->pixmaps[0]) return name;
    }
    if (d.argb == green) return "green text";
    if (d.argb == white) return "white text";
    return "unknown";
  }

  bool drew(const std::string& name) const {
    return std::find(drawn.begin(), drawn.end(), name) != drawn.end();
  }

  std::vector<std::string> drawn;
  std::unique_ptr<TMenu> menu_;
};

using Script = std::vector<std::string>;

TEST_F(MenuTest, AFrameDrawsScreenPointerFlagsItemsCreditsAndNoticeInThatOrder) {
  point_at(at::nothing);
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(drawn,
            (Script{"backdrop", "bg", "english screen", "pointer", "english flag", "russian flag",
                    "english start", "english exit", "green text", "white text"}));

  menu()._lang = "RUS";
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(drawn,
            (Script{"backdrop", "bg", "russian screen", "pointer", "english flag", "russian flag",
                    "russian start", "russian exit", "green text", "white text"}));
}

TEST_F(MenuTest, ThePointerIsDrawnAtTheMouseAndTheBackdropIsWhite) {
  point_at({333, 222});
  frame();
  const auto& draws = hb.draws_of_last_frame();
  ASSERT_GE(draws.size(), 4u);
  EXPECT_EQ(draws[0].argb, white);
  EXPECT_FLOAT_EQ(draws[0].vertices[2].x, 1024.0f);
  EXPECT_FLOAT_EQ(draws[0].vertices[2].y, 768.0f);
  EXPECT_FLOAT_EQ(draws[3].vertices[0].x, 333.0f);
  EXPECT_FLOAT_EQ(draws[3].vertices[0].y, 222.0f);
}

TEST_F(MenuTest, TouchingAnItemTintsItCyanUntilTheButtonIsPressed) {
  point_at(at::english_start);
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(drawn, (Script{"backdrop", "bg", "english screen", "pointer", "english flag",
                           "russian flag", "english start", "english exit", "green text",
                           "english start in cyan", "white text"}));
  point_at(at::english_exit);
  EXPECT_EQ(frame(), 0);
  EXPECT_TRUE(drew("english exit in cyan"));
  EXPECT_FALSE(drew("english start in cyan"));
  EXPECT_EQ(hb.draws_of_last_frame().back().argb, white) << "the colour was not put back";
}

TEST_F(MenuTest, OnlySolidPixelsOfPointerAndItemCount) {
  for (Point p : {at::english_start_see_through_half, at::english_start_under_pointer_box}) {
    point_at(p);
    press();
    EXPECT_EQ(frame(), 0) << p.x << ", " << p.y;
    EXPECT_FALSE(drew("english start in cyan")) << p.x << ", " << p.y;
  }
}

TEST_F(MenuTest, PressingTheStartItemEndsTheFrameThereWithTwo) {
  // The pointer touches the exit item too: its test must not run, or the program would end.
  point_at(at::english_start_and_exit);
  press();
  std::optional<int> ended;
  int result = -1;
  ended = test_support::program_end_status([&] { result = frame(); });
  EXPECT_FALSE(ended) << "the exit item ran";
  EXPECT_EQ(result, 2);
  EXPECT_EQ(drawn.back(), "english start in cyan");
  EXPECT_FALSE(drew("white text")) << "the rights notice was drawn";
}

TEST_F(MenuTest, TheRussianStartItemStartsARussianGame) {
  menu()._lang = "RUS";
  point_at(at::russian_start);
  press();
  EXPECT_EQ(frame(), 2);
  EXPECT_EQ(drawn.back(), "russian start in cyan");
}

TEST_F(MenuTest, TheExitItemOpensTheOptionalFilesThatAreThereAndEnds) {
  scratch.write("play.url", "[InternetShortcut]");
  scratch.write("fscommand/wgame.exe", "x");
  scratch.write("website.url", "[InternetShortcut]");
  point_at(at::english_exit);
  press();
  EXPECT_EQ(test_support::program_end_status([&] { frame(); }), 0);
  ASSERT_EQ(hb.opened_urls().size(), 2u);
  EXPECT_NE(hb.opened_urls()[0].find("play.url"), std::string::npos);
  EXPECT_NE(hb.opened_urls()[1].find("fscommand/wgame.exe"), std::string::npos);
}

TEST_F(MenuTest, TheExitItemEndsWithoutOpeningAnythingWhenNoFileIsThere) {
  menu()._lang = "RUS";
  point_at(at::russian_exit);
  press();
  EXPECT_EQ(test_support::program_end_status([&] { frame(); }), 0);
  EXPECT_TRUE(hb.opened_urls().empty());
}

TEST_F(MenuTest, AFlagChosenMidFrameAppliesToTheRestOfThatFrame) {
  menu()._lang = "RUS";
  point_at(at::english_flag);
  frame();
  EXPECT_EQ(menu()._lang, "RUS") << "a flag acted without the button";

  press();
  frame();
  EXPECT_EQ(menu()._lang, "ENG");
  EXPECT_EQ(drawn,
            (Script{"backdrop", "bg", "russian screen", "pointer", "english flag", "russian flag",
                    "english start", "english exit", "green text", "white text"}));
  frame();
  EXPECT_TRUE(drew("english screen"));
}

TEST_F(MenuTest, WithThePointerOnBothFlagsRussianWins) {
  point_at(at::both_flags);
  press();
  frame();
  EXPECT_EQ(menu()._lang, "RUS");
  point_at(at::english_flag);
  frame();
  EXPECT_EQ(menu()._lang, "ENG") << "a held button acts again every frame";
}

TEST_F(MenuTest, TheLogoLightsUpOnlyStrictlyInsideItsArea) {
  test_support::write_logo(scratch);
  ASSERT_EQ(menu().logo, 1);
  struct Case {
    Point at;
    const char* logo;
  };
  for (const Case& c :
       {Case{{212, 89}, "lit logo"}, Case{{1, 1}, "lit logo"}, Case{{0, 50}, "logo"},
        Case{{50, 0}, "logo"}, Case{{213, 50}, "logo"}, Case{{100, 90}, "logo"}}) {
    point_at(c.at);
    frame();
    ASSERT_GE(drawn.size(), 2u);
    EXPECT_EQ(drawn[drawn.size() - 2], c.logo) << c.at.x << ", " << c.at.y;
  }
}

TEST_F(MenuTest, TheLitLogoOpensTheWebPageOnceForAHeldButton) {
  test_support::write_logo(scratch);
  point_at({100, 50});
  press();
  frame();
  EXPECT_TRUE(hb.opened_urls().empty()) << "opened without website.url";

  scratch.write("website.url", "[InternetShortcut]");
  press();
  frame();
  frame();
  ASSERT_EQ(hb.opened_urls().size(), 1u);
  EXPECT_NE(hb.opened_urls()[0].find("website.url"), std::string::npos);
  EXPECT_EQ(media::MouseDown(1), 0);
}

TEST_F(MenuTest, WithoutBothLogoPicturesThereIsNoLogo) {
  scratch.write("fsdata/logo_a.png", test_support::rgba_png(213, 90, {1, 2, 3}));
  EXPECT_EQ(menu().logo, 0);
  point_at({100, 50});
  press();
  scratch.write("website.url", "[InternetShortcut]");
  frame();
  EXPECT_FALSE(drew("lit logo"));
  EXPECT_TRUE(hb.opened_urls().empty());
}

// Where each line of text ends and how low it reaches, in the start-up font.
struct TextExtent {
  float right = 0.0f, bottom = 0.0f;
};

class MenuTextTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    std::filesystem::create_directories("fonts");
    std::filesystem::copy_file(std::string(HEDGEROW_SOURCE_DIR) + "/assets/fonts/arial.ttf",
                               "fonts/arial.ttf");
    shell::load_startup_font();
  }

  // Glyphs by the line they start on: the credits at 550...700, the notice at 730.
  std::map<int, TextExtent> text_lines() const {
    std::map<int, TextExtent> lines;
    for (const media::DrawRecord& d : hb.draws_of_last_frame()) {
      if (name_of(d).find("text") == std::string::npos) continue;
      float top = d.vertices[0].y;
      for (const media::Vertex& v : d.vertices) top = std::min(top, v.y);
      const int line = d.argb == white ? 730 : (static_cast<int>(top) / 50) * 50;
      for (const media::Vertex& v : d.vertices) {
        lines[line].right = std::max(lines[line].right, v.x);
        lines[line].bottom = std::max(lines[line].bottom, v.y);
      }
    }
    return lines;
  }
};

TEST_F(MenuTextTest, CreditsEndBeforeTheirPanelsEdgeAndTheNoticeIsOnScreen) {
  for (const char* lang : {"ENG", "RUS"}) {
    menu()._lang = lang;
    point_at(at::nothing);
    frame();
    const std::map<int, TextExtent> lines = text_lines();
    ASSERT_EQ(lines.size(), 5u) << lang;
    for (int line : {550, 600, 650, 700}) {
      EXPECT_LT(lines.at(line).right, 1014.0f) << lang << " credit line at " << line;
    }
    EXPECT_LE(lines.at(730).right, 1024.0f) << "notice";
    EXPECT_LE(lines.at(730).bottom, 768.0f) << "notice";
  }
}

}  // namespace
