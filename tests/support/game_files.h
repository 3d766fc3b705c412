#pragma once
// The game's own files made small for tests: the menu's pictures with shapes that put items,
// flags and the pointer at known places, every catalogue file, sounds, and level files. Each is
// written under the lower-case, slash-separated spelling of the game's path.

#include <string>
#include <string_view>
#include <vector>

#include "support/headless_test.h"
#include "support/picture_writer.h"

namespace test_support {

// The folder-and-case form of a game path that the game's look-up finds.
std::string disk_path(std::string_view game_path);

// A mono 8-bit WAV at 8000 Hz lasting `seconds`.
Bytes wav_seconds(double seconds);

// An RGBA picture of `width` x `height` in one colour; `solid_from_x` leaves the columns left of
// it see-through.
Bytes rgba_png(int width, int height, std::array<unsigned char, 3> colour, int solid_from_x = 0);

// The menu's pictures, shaped so that each point below touches exactly what its name says. The
// pointer is 24 x 24 with only its top-left 8 x 8 solid; the start items are 200 x 70 with their
// left half see-through, so that they reach 10 pixels into their exit item's row.
void write_menu_pictures(ScratchFolder& folder);
// The two optional logo pictures, 213 x 90.
void write_logo(ScratchFolder& folder);

struct Point {
  int x, y;
};
namespace menu_points {
constexpr Point nothing = {300, 300};
constexpr Point english_flag = {870, 20};
constexpr Point russian_flag = {960, 20};
constexpr Point both_flags = {934, 20};  // the pointer's solid square spans the gap
constexpr Point english_start = {700, 410};
constexpr Point english_start_see_through_half = {560, 410};
// The pointer's picture covers the item's solid half there, but only with see-through pixels.
constexpr Point english_start_under_pointer_box = {640, 390};
constexpr Point english_exit = {620, 480};
constexpr Point english_start_and_exit = {660, 462};
constexpr Point russian_start = {650, 410};
constexpr Point russian_exit = {520, 480};
}  // namespace menu_points

// Every file of the catalogue: the n-th picture of the table (from 0) 6 high and
// catalogue_picture_width(n) wide, so that each lands where it can be told apart; sounds of
// 0.25 s, 1 s for those that loop.
int catalogue_picture_width(int n);
void write_catalogue_files(ScratchFolder& folder);

// Level n: 40 000 cells, all 0 but those given (column, row, code).
struct Cell {
  int column, row, code;
};
void write_level(ScratchFolder& folder, int level, const std::vector<Cell>& cells);

}  // namespace test_support
