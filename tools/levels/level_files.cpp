#include "level_files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace levels {

namespace {

std::string read_whole_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error(path + ": cannot be read: " + std::strerror(errno));
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw std::runtime_error(path + ": cannot be read");
  return bytes;
}

bool ends_with(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

Grid read_level_text(const std::string& path) {
  const std::string text = read_whole_file(path);
  try {
    return parse(text);
  } catch (const TextError& error) {
    throw std::runtime_error(path + ":" + std::to_string(error.line()) + ":" +
                             std::to_string(error.column()) + ": error: " + error.reason());
  }
}

Grid read_level_file(const std::string& path) {
  const std::string bytes = read_whole_file(path);
  try {
    return from_file(std::vector<unsigned char>(bytes.begin(), bytes.end()));
  } catch (const std::runtime_error& error) {
    throw std::runtime_error(path + ": " + error.what());
  }
}

Grid read_level(const std::string& path) {
  return ends_with(path, ".txt") ? read_level_text(path) : read_level_file(path);
}

void write_whole_file(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".part";
  std::string failure;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) failure = std::strerror(errno);
  }
  std::error_code error;
  if (failure.empty()) {
    std::filesystem::rename(temporary, path, error);
    if (error) failure = error.message();
  }
  if (!failure.empty()) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error(path + ": cannot be written: " + failure);
  }
}

}  // namespace levels
