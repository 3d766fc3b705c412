#pragma once
// The command lines of the route tools: positional arguments first, then options that each take
// one value ("--trace 30"); an option may be given more than once.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tools {

struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;

  // The value given last, if any.
  std::optional<std::string> option(std::string_view name) const;
  // Every value given, in order.
  std::vector<std::string> all(std::string_view name) const;

  // Nothing for an unknown option or one without a value.
  static std::optional<Arguments> read(int argc, char** argv,
                                       const std::vector<std::string_view>& known);
};

std::optional<int> whole_number(std::string_view text);
// A level of the game, 1 to 18.
std::optional<int> level_number(std::string_view text);

}  // namespace tools
