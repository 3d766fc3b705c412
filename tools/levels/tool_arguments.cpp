#include "tool_arguments.h"

#include <algorithm>
#include <charconv>

namespace tools {

std::optional<std::string> Arguments::option(std::string_view name) const {
  std::optional<std::string> value;
  for (const auto& [n, v] : options) {
    if (n == name) value = v;
  }
  return value;
}

std::vector<std::string> Arguments::all(std::string_view name) const {
  std::vector<std::string> values;
  for (const auto& [n, v] : options) {
    if (n == name) values.push_back(v);
  }
  return values;
}

std::optional<Arguments> Arguments::read(int argc, char** argv,
                                         const std::vector<std::string_view>& known) {
  Arguments args;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word.starts_with("--")) {
      if (std::find(known.begin(), known.end(), word) == known.end() || i + 1 >= argc)
        return std::nullopt;
      args.options.emplace_back(std::string(word), argv[++i]);
    } else {
      args.positional.emplace_back(word);
    }
  }
  return args;
}

std::optional<int> whole_number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> level_number(std::string_view text) {
  const std::optional<int> n = whole_number(text);
  if (!n || *n < 1 || *n > 18) return std::nullopt;
  return n;
}

}  // namespace tools
