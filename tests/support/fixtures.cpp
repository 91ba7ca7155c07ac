#include "support/fixtures.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

namespace fs = std::filesystem;

TTempDir::TTempDir() {
  static std::atomic<int> counter{0};
  Dir = fs::temp_directory_path() /
        ("zebtest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(Dir);
  fs::create_directories(Dir);
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  fs::remove_all(Dir, ignored);
}

std::string TTempDir::Write(const std::string& name, const std::string& bytes) const {
  const fs::path path = Dir / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path.string();
}

void LoadBytes(const std::string& bytes, TLoaded& loaded, bool inlineImages) {
  TTempDir dir;
  loaded.Code = LoadHintFile(dir.Write("fixture.zeb", bytes), loaded.List, inlineImages).Code;
}

std::string SharedTestDataDir() {
  const char* shared = std::getenv("ZEB_SHARED_DIR");
  const fs::path dir = fs::path(shared != nullptr ? shared : "../shared") / "testdata";
  return fs::is_directory(dir) ? dir.string() : std::string();
}
