#include "fuzzfile.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {
std::filesystem::path Base() {
  static const std::filesystem::path base = [] {
    auto folder = std::filesystem::temp_directory_path() / ("zeb-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
  }();
  return base;
}
}  // namespace

const std::string& WriteInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = (Base() / "input.zeb").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) throw std::runtime_error("cannot write " + path);
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
  return path;
}

const std::string& EmptyFolder() {
  static const std::string folder = (Base() / "out").string() + "/";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder, ignored);
  return folder;
}
