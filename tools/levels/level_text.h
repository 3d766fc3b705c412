#pragma once
// Levels written as text, and the file the game reads. The text has one line per row of cells,
// row 0 first, and one character per cell, column 0 at the left; a code without a character of
// its own is written as a number in braces, "{-7}", still one cell. Cells the text leaves out
// are empty (code 0). The file holds the 40 000 codes as little-endian 32-bit integers, column by
// column, each column from the top down.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace levels {

constexpr int columns = 200;
constexpr int rows = 200;
constexpr std::size_t file_size = 4 * columns * rows;

// The cell codes of one level.
class Grid {
 public:
  std::int32_t at(int column, int row) const { return codes_[index(column, row)]; }
  void set(int column, int row, std::int32_t code) { codes_[index(column, row)] = code; }
  // In file order.
  const std::vector<std::int32_t>& codes() const { return codes_; }
  bool operator==(const Grid& other) const = default;

 private:
  static std::size_t index(int column, int row) {
    return static_cast<std::size_t>(column) * rows + static_cast<std::size_t>(row);
  }
  std::vector<std::int32_t> codes_ = std::vector<std::int32_t>(columns * rows, 0);
};

struct LegendEntry {
  char symbol;
  std::int32_t code;
  const char* meaning;
};
// Every code that has a character, in code order.
const std::vector<LegendEntry>& legend();

// A fault in a level's text. `line` and `column` count from 1; the column counts characters as
// an editor shows them. what() reads "line 3, column 12: <reason>".
class TextError : public std::runtime_error {
 public:
  TextError(int line, int column, const std::string& reason);
  int line() const { return line_; }
  int column() const { return column_; }
  const std::string& reason() const { return reason_; }

 private:
  int line_, column_;
  std::string reason_;
};

// Reads a level's text; throws TextError at the first fault. Lines may end in "\r\n".
Grid parse(std::string_view text);

// The canonical text: a line for every row down to the last one with a code in it, each line
// ending in "\n" and running to its last non-empty cell; a code with a character is written as
// that character, any other as "{n}" in plain decimal. A level of empty cells is the empty text.
std::string to_text(const Grid& grid);

// The level file's bytes.
std::vector<unsigned char> to_file(const Grid& grid);
// Reads a level file's bytes; throws std::runtime_error unless there are exactly 160 000 (a
// longer file would lose its tail on the way to text and back).
Grid from_file(const std::vector<unsigned char>& bytes);

// Things in a level that are allowed but most likely mistakes: no hero start, several of them,
// no level exit, no bottom line. One sentence each.
std::vector<std::string> design_warnings(const Grid& grid);

}  // namespace levels
