#include "level_text.h"

#include <array>
#include <charconv>
#include <limits>
#include <optional>

#include "level/cell_codes.h"

namespace levels {

namespace {

const std::vector<LegendEntry> the_legend = {
    {'.', cell::empty, "empty"},
    {'@', cell::hero_start, "hero start (the camera starts around it)"},
    {'o', cell::coin, "coin"},
    {'>', cell::pointer_sign, "pointer sign (pointer.png)"},
    {'X', cell::death_zone, "death zone (invisible)"},
    {'E', cell::level_exit, "level exit (invisible)"},
    {'_', cell::bottom_line, "bottom line: the camera shows nothing below this row's top"},
    {'h', cell::hedgehog, "hedgehog, starts walking right"},
    {'S', cell::large_saw, "large saw (saw_1.png, 2 x 2 cells from here)"},
    {'s', cell::small_saw, "small saw (saw_2.png)"},
    {'f', cell::shooting_flower, "shooting flower (shoots to the left)"},
    {'1', cell::first_ground, "ground (ground_1.png)"},
    {'2', cell::first_ground + 1, "ground (ground_2.png)"},
    {'3', cell::first_ground + 2, "ground (ground_3.png)"},
    {'4', cell::last_ground, "ground (ground_4.png)"},
    {'T', cell::first_tree, "tree (tree_1.png)"},
    {'Y', cell::first_tree + 1, "tree (tree_2.png)"},
    {'A', cell::last_tree, "tree (tree_3.png)"},
    {'*', cell::first_flowers, "flowers (flowers_1.png)"},
    {'+', cell::last_flowers, "flowers (flowers_2.png)"},
    {'w', cell::first_grass, "grass (grass_1.png)"},
    {'W', cell::last_grass, "grass (grass_2.png)"},
    {'n', cell::first_stone, "stone (stone_1.png)"},
    {'m', cell::last_stone, "stone (stone_2.png)"},
};

// The code of each character, or nothing.
std::array<std::optional<std::int32_t>, 256> codes_by_symbol() {
  std::array<std::optional<std::int32_t>, 256> table;
  for (const LegendEntry& e : the_legend) table[static_cast<unsigned char>(e.symbol)] = e.code;
  return table;
}

std::optional<char> symbol_of(std::int32_t code) {
  for (const LegendEntry& e : the_legend) {
    if (e.code == code) return e.symbol;
  }
  return std::nullopt;
}

bool is_continuation_byte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The character starting at `pos` (all of its bytes), for messages; control bytes as \xNN.
std::string shown_character(std::string_view line, std::size_t pos) {
  const unsigned char first = static_cast<unsigned char>(line[pos]);
  if (first == ' ') return "' ' (a space)";
  if (first == '\t') return "a tab";
  if (first < 0x20 || first == 0x7F) {
    static const char hex[] = "0123456789ABCDEF";
    return std::string("the byte \\x") + hex[first >> 4] + hex[first & 15];
  }
  std::size_t end = pos + 1;
  while (end < line.size() && is_continuation_byte(line[end])) ++end;
  return "'" + std::string(line.substr(pos, end - pos)) + "'";
}

// The value of an escape's inside: an optional '-' and decimal digits within 32 bits.
std::int32_t escape_value(std::string_view inside, int line, int column) {
  const bool negative = !inside.empty() && inside.front() == '-';
  const std::string_view digits = negative ? inside.substr(1) : inside;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  const bool digits_only = !digits.empty() && digits.front() >= '0' && digits.front() <= '9' &&
                           end == digits.data() + digits.size();
  if (!digits_only) {
    throw TextError(line, column,
                    "'{" + std::string(inside) + "}' should hold a whole number such as {-7}");
  }
  if (negative) value = -value;
  if (error != std::errc() || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw TextError(line, column,
                    "'{" + std::string(inside) + "}' does not fit in a cell (32-bit signed)");
  }
  return static_cast<std::int32_t>(value);
}

// Reads one line of text into row `row`. Every character a cell may be written with is ASCII,
// so up to the first fault a column is a byte.
void parse_row(std::string_view text, int row, Grid& grid) {
  static const auto codes = codes_by_symbol();
  const int line = row + 1;
  int cell = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const int column = static_cast<int>(pos) + 1;
    if (cell == columns) {
      throw TextError(line, column, "a row has 200 cells; this one is beyond them");
    }
    std::int32_t code = 0;
    std::size_t next = pos + 1;
    if (text[pos] == '{') {
      const std::size_t close = text.find('}', pos);
      if (close == std::string_view::npos) throw TextError(line, column, "'{' without its '}'");
      code = escape_value(text.substr(pos + 1, close - pos - 1), line, column);
      next = close + 1;
    } else if (const auto& known = codes[static_cast<unsigned char>(text[pos])]) {
      code = *known;
    } else {
      throw TextError(line, column,
                      shown_character(text, pos) +
                          " is not a cell character (empty cells are '.'; other codes {n})");
    }
    grid.set(cell++, row, code);
    pos = next;
  }
}

// The last column of `row` that is not empty, or -1.
int last_used_column(const Grid& grid, int row) {
  for (int c = columns - 1; c >= 0; --c) {
    if (grid.at(c, row) != 0) return c;
  }
  return -1;
}

std::string cell_name(int column, int row) {
  return "column " + std::to_string(column) + ", row " + std::to_string(row);
}

}  // namespace

const std::vector<LegendEntry>& legend() {
  return the_legend;
}

TextError::TextError(int line, int column, const std::string& reason)
    : std::runtime_error("line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + reason),
      line_(line),
      column_(column),
      reason_(reason) {}

Grid parse(std::string_view text) {
  Grid grid;
  int row = 0;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (row == rows) throw TextError(row + 1, 1, "a level has 200 rows; this line is beyond them");
    parse_row(line, row++, grid);
  }
  return grid;
}

std::string to_text(const Grid& grid) {
  int last_row = -1;
  for (int r = 0; r < rows; ++r) {
    if (last_used_column(grid, r) >= 0) last_row = r;
  }
  std::string text;
  for (int r = 0; r <= last_row; ++r) {
    const int last = last_used_column(grid, r);
    for (int c = 0; c <= last; ++c) {
      const std::int32_t code = grid.at(c, r);
      if (const std::optional<char> symbol = symbol_of(code)) {
        text += *symbol;
      } else {
        // Appended piece by piece: GCC 12 at -O3 takes "{" + ... + "}" for an overlapping copy.
        text += '{';
        text += std::to_string(code);
        text += '}';
      }
    }
    text += '\n';
  }
  return text;
}

std::vector<unsigned char> to_file(const Grid& grid) {
  std::vector<unsigned char> bytes;
  bytes.reserve(file_size);
  for (std::int32_t code : grid.codes()) {
    const auto bits = static_cast<std::uint32_t>(code);
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<unsigned char>(bits >> shift));
    }
  }
  return bytes;
}

Grid from_file(const std::vector<unsigned char>& bytes) {
  if (bytes.size() != file_size) {
    throw std::runtime_error("holds " + std::to_string(bytes.size()) +
                             " bytes; a level file holds exactly 160000");
  }
  Grid grid;
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      const std::size_t at = 4 * (static_cast<std::size_t>(c) * rows + static_cast<std::size_t>(r));
      const std::uint32_t bits = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                 (std::uint32_t{bytes[at + 3]} << 24);
      grid.set(c, r, static_cast<std::int32_t>(bits));
    }
  }
  return grid;
}

std::vector<std::string> design_warnings(const Grid& grid) {
  int starts = 0, exits = 0, bottom_lines = 0;
  std::string last_start;
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r) {
      if (grid.at(c, r) == cell::hero_start) {
        ++starts;
        last_start = cell_name(c, r);
      }
      if (grid.at(c, r) == cell::level_exit) ++exits;
      if (grid.at(c, r) == cell::bottom_line) ++bottom_lines;
    }
  }
  std::vector<std::string> warnings;
  if (starts == 0) warnings.push_back("no hero start ('@'): the hero starts at the world's corner");
  if (starts > 1) {
    warnings.push_back(std::to_string(starts) +
                       " hero starts ('@'): the last in column order wins, at " + last_start);
  }
  if (exits == 0) warnings.push_back("no level exit ('E'): the level cannot be finished");
  if (bottom_lines == 0) {
    warnings.push_back(
        "no bottom line ('_'): the camera keeps the last level's limit, and on the first level "
        "shows nothing below the top of the world");
  }
  return warnings;
}

}  // namespace levels
