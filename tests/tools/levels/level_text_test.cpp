// Levels as text: the legend, rows and columns, escapes, faults with their line and column, the
// canonical text, and the level file's layout.

#include "level_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

namespace {

using levels::Grid;

Grid random_grid(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::int32_t> any_code(INT32_MIN, INT32_MAX);
  Grid grid;
  for (int c = 0; c < levels::columns; ++c) {
    for (int r = 0; r < levels::rows; ++r) grid.set(c, r, any_code(random));
  }
  return grid;
}

struct Fault {
  int line, column;
  std::string reason;
};

Fault fault_in(const std::string& text) {
  try {
    levels::parse(text);
  } catch (const levels::TextError& error) {
    return {error.line(), error.column(), error.reason()};
  }
  return {0, 0, "no fault"};
}

}  // namespace

TEST(LevelText, EveryLegendCharacterStandsForItsOwnCode) {
  std::string row;
  std::set<std::int32_t> codes;
  for (const levels::LegendEntry& e : levels::legend()) {
    row += e.symbol;
    codes.insert(e.code);
  }
  EXPECT_EQ(codes.size(), levels::legend().size());
  EXPECT_EQ(row, ".@o>XE_hSsf1234TYA*+wWnm");
  const Grid grid = levels::parse(row);
  for (std::size_t i = 0; i < levels::legend().size(); ++i) {
    EXPECT_EQ(grid.at(static_cast<int>(i), 0), levels::legend()[i].code) << row[i];
  }
  EXPECT_EQ(grid.at(6, 0), 6);
  EXPECT_EQ(grid.at(11, 0), 101);
  EXPECT_EQ(grid.at(23, 0), 113);
}

TEST(LevelText, LinesAreRowsFromTheTopAndCharactersAreColumnsFromTheLeft) {
  const Grid grid = levels::parse("..o\r\n\n.@\n");
  Grid expected;
  expected.set(2, 0, 2);
  expected.set(1, 2, 1);
  EXPECT_EQ(grid, expected);
  EXPECT_EQ(levels::parse(""), Grid());
}

TEST(LevelText, ANumberInBracesIsOneCellOfAnyCode) {
  const Grid grid = levels::parse("{-7}o{2147483647}{-2147483648}{2}{0012}\n{0}h");
  EXPECT_EQ(grid.at(0, 0), -7);
  EXPECT_EQ(grid.at(1, 0), 2);
  EXPECT_EQ(grid.at(2, 0), 2147483647);
  EXPECT_EQ(grid.at(3, 0), -2147483647 - 1);
  EXPECT_EQ(grid.at(4, 0), 2);
  EXPECT_EQ(grid.at(5, 0), 12);
  EXPECT_EQ(grid.at(1, 1), 7);
}

TEST(LevelText, FaultsNameTheirLineAndColumn) {
  const std::string full_row(200, '.');
  const struct {
    std::string text;
    int line, column;
    std::string says;
  } cases[] = {
      {"..Q", 1, 3, "'Q' is not a cell character"},
      {"1\n. .", 2, 2, "' ' (a space)"},
      {".\t", 1, 2, "a tab"},
      {".\r.", 1, 2, "\\x0D"},
      {"..é", 1, 3, "'é'"},
      {"{5}Q", 1, 4, "'Q'"},
      {"..{12", 1, 3, "without its '}'"},
      {"{}", 1, 1, "whole number"},
      {".{+5}", 1, 2, "whole number"},
      {"{1.5}", 1, 1, "whole number"},
      {"{ 5}", 1, 1, "whole number"},
      {"{--1}", 1, 1, "whole number"},
      {"{-}", 1, 1, "whole number"},
      {"{2147483648}", 1, 1, "does not fit"},
      {"{-2147483649}", 1, 1, "does not fit"},
      {"{99999999999999999999}", 1, 1, "does not fit"},
      {full_row + "o", 1, 201, "200 cells"},
      {"{3}" + full_row.substr(1) + "1", 1, 203, "200 cells"},
      {std::string(200, '\n') + ".", 201, 1, "200 rows"},
  };
  for (const auto& c : cases) {
    const Fault f = fault_in(c.text);
    EXPECT_EQ(f.line, c.line) << c.text;
    EXPECT_EQ(f.column, c.column) << c.text;
    EXPECT_NE(f.reason.find(c.says), std::string::npos) << c.text << " -> " << f.reason;
  }
  EXPECT_NO_THROW(levels::parse(std::string(199, '\n') + full_row + "\n"));
  try {
    levels::parse("\n\n..?");
  } catch (const levels::TextError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("line 3, column 3: ", 0), 0u) << error.what();
  }
}

TEST(LevelText, CanonicalTextComesBackUnchanged) {
  for (const std::string& text : {
           std::string(""),
           std::string(".@o>XE_hSsf1234TYA*+wWnm\n"),
           std::string("\n\n...{-7}.{2147483647}\n\n1111\n"),
           std::string(199, '\n') + std::string(199, '.') + "{-1}\n",
       }) {
    EXPECT_EQ(levels::to_text(levels::parse(text)), text);
  }
  const Grid grid = random_grid(7);
  EXPECT_EQ(levels::parse(levels::to_text(grid)), grid);
}

TEST(LevelText, OtherSpellingsBecomeCanonical) {
  EXPECT_EQ(levels::to_text(levels::parse("..o...\r\n{2}{012}{-0}\n\n\n")), "..o\no{12}\n");
  EXPECT_EQ(levels::to_text(levels::parse("\n\n.....\n")), "");
}

TEST(LevelText, TheFileHoldsEachCellLittleEndianColumnByColumn) {
  Grid grid;
  grid.set(3, 7, 0x12345678);
  grid.set(199, 199, -2);
  const std::vector<unsigned char> bytes = levels::to_file(grid);
  ASSERT_EQ(bytes.size(), 160000u);
  const std::size_t at = 4 * (200 * 3 + 7);
  EXPECT_EQ(bytes[at], 0x78);
  EXPECT_EQ(bytes[at + 1], 0x56);
  EXPECT_EQ(bytes[at + 2], 0x34);
  EXPECT_EQ(bytes[at + 3], 0x12);
  EXPECT_EQ(bytes[159996], 0xFE);
  EXPECT_EQ(bytes[159999], 0xFF);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 160000 - 8);

  const Grid random = random_grid(11);
  EXPECT_EQ(levels::from_file(levels::to_file(random)), random);
}

TEST(LevelText, AFileOfAnotherSizeIsRefused) {
  for (std::size_t size : {0u, 159999u, 160004u}) {
    try {
      levels::from_file(std::vector<unsigned char>(size));
      ADD_FAILURE() << size;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(std::to_string(size)), std::string::npos);
    }
  }
}

TEST(LevelText, WarnsOfLevelsWithoutStartExitOrBottomLineOrWithTwoStarts) {
  EXPECT_TRUE(levels::design_warnings(levels::parse("@E_")).empty());
  const auto none = levels::design_warnings(levels::parse("1"));
  ASSERT_EQ(none.size(), 3u);
  EXPECT_NE(none[0].find("no hero start"), std::string::npos);
  EXPECT_NE(none[1].find("no level exit"), std::string::npos);
  EXPECT_NE(none[2].find("no bottom line"), std::string::npos);
  const auto two = levels::design_warnings(levels::parse("E_.@\n.@"));
  ASSERT_EQ(two.size(), 1u);
  EXPECT_NE(two[0].find("column 3, row 0"), std::string::npos) << two[0];
}
