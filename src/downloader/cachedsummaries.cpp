#include "downloader/cachedsummaries.h"

#include <fstream>

#include "model/textcase.h"

namespace {
// Sized from the file's length first: the cache of a large folder is
// hundreds of kilobytes, which growing a string piece by piece copies again
// and again.
std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  const std::streamoff size = in.tellg();
  if (size <= 0) return bytes;
  bytes.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(bytes.data(), size);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}
}  // namespace

std::size_t TCachedSummaries::TKeyHash::operator()(const TKey& key) const {
  // FNV-1a over the name in lower case, then the size mixed in.
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : key.Name) hash = (hash ^ static_cast<unsigned char>(LowerAtoZ(c))) * 1099511628211ull;
  return static_cast<std::size_t>(hash ^ (static_cast<std::uint64_t>(key.Size) * 0x9E3779B97F4A7C15ull));
}

bool TCachedSummaries::TKeyEqual::operator()(const TKey& a, const TKey& b) const {
  return a.Size == b.Size && EqualIgnoringCase(a.Name, b.Name);
}

TCachedSummaries::TCachedSummaries(const std::string& cacheFile) : Bytes(ReadWholeFile(cacheFile)) {
  std::string_view rest = Bytes;
  TRecordLines lines;
  for (std::size_t start = 0; TakeRecordLines(rest, lines); start = Bytes.size() - rest.size()) {
    const std::optional<std::int32_t> length = RecordLength(lines[2]);
    if (!length) break;
    Records.emplace(TKey{lines[0], *length}, start);
  }
}

std::unique_ptr<TFileInfo> TCachedSummaries::Find(std::string_view name, std::int64_t size) const {
  const auto found = Records.find(TKey{name, size});
  if (found == Records.end()) return nullptr;
  std::string_view record = std::string_view(Bytes).substr(found->second);
  TRecordLines lines;
  TakeRecordLines(record, lines);
  auto info = std::make_unique<TFileInfo>();
  info->SetFromRecord(lines);
  return info;
}
