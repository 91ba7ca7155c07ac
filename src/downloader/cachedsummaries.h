#pragma once
// The header summaries of the catalog's cache file, read in one go and found
// by file name (its ASCII letters in any case) and size. The first record of
// a name and size wins; reading stops at the first record whose length line
// is damaged, or that the end of the file cuts short.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "downloader/fileinfo.h"

class TCachedSummaries {
 public:
  // A missing or unreadable file holds no records.
  explicit TCachedSummaries(const std::string& cacheFile);
  // The keys point into this object's own bytes.
  TCachedSummaries(const TCachedSummaries&) = delete;
  TCachedSummaries& operator=(const TCachedSummaries&) = delete;

  // A summary made from the record of that name and size, or null. Its
  // FileName is the record's, which may differ in case.
  std::unique_ptr<TFileInfo> Find(std::string_view name, std::int64_t size) const;

 private:
  struct TKey {
    std::string_view Name;  // into Bytes
    std::int64_t Size;
  };
  struct TKeyHash {
    std::size_t operator()(const TKey& key) const;
  };
  struct TKeyEqual {
    bool operator()(const TKey& a, const TKey& b) const;
  };

  std::string Bytes;  // the whole file: the keys' names are views into it
  // Where each record starts in Bytes; a hit reads its lines again there.
  std::unordered_map<TKey, std::size_t, TKeyHash, TKeyEqual> Records;
};
