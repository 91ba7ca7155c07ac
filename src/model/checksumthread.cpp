#include "model/checksumthread.h"

#include <cstdio>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/regularfile.h"

namespace {
struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

TChecksumThread::TChecksumThread(const std::string& path) {
  try {
    Worker = std::thread([this, path] { Run(path); });
  } catch (const std::system_error&) {
    // No thread: an empty trail.
  }
}

TChecksumThread::~TChecksumThread() {
  Stopping = true;
  if (Worker.joinable()) Worker.join();
}

void TChecksumThread::Run(const std::string& path) {
  std::unique_ptr<std::FILE, TFileCloser> file(OpenRegularFile(path));
  if (!file) return;
  // Blocks of the loader's size: the trail's checkpoints are as close.
  std::vector<char> block(1 << 16);
  std::int64_t offset = 0;
  while (!Stopping) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
    if (got == 0) break;
    Taken.Add(offset, std::string_view(block.data(), got));
    offset += static_cast<std::int64_t>(got);
  }
}

const TChecksumTrail& TChecksumThread::Trail() {
  if (Worker.joinable()) Worker.join();
  return Taken;
}
