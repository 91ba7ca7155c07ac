#include "model/collectionsearch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <exception>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>

#include "model/datahunks.h"
#include "model/displaydocument.h"
#include "model/loader.h"
#include "model/search.h"
#include "model/textcase.h"

namespace {
// The rows of a results document: its links, separated by ":" items and
// each ended by a " " item. The document owns the rows' links.
std::vector<TSearchRow> RowsOf(const TItemsHunk& results) {
  std::vector<TSearchRow> rows;
  TSearchRow row;
  for (const TZEBObject* item : results.Items) {
    if (item->KindCode() == Kind::Link) {
      row.Titles.push_back(item->Text);
      row.Lines.push_back(static_cast<const TLinkHunk*>(item)->TargetLine);
    } else if (item->Text == " ") {
      rows.push_back(std::move(row));
      row = {};
    }
  }
  return rows;
}

// The rows of the nodes from..to, searched whole, in order.
std::vector<TSearchRow> RowsOfNodes(const std::vector<THunk*>& nodes, std::size_t from, std::size_t to,
                                    const std::string& phrase) {
  auto results = MakeDocument(SearchTitle(phrase));
  for (std::size_t i = from; i < to; ++i) nodes[i]->Search(phrase, *results);
  return RowsOf(*results);
}
}  // namespace

std::vector<TSearchRow> SearchRows(THunk& root, const std::string& phrase, TSearchThreads threads) {
  auto* top = dynamic_cast<TItemsHunk*>(&root);
  std::vector<THunk*> nodes;
  if (top != nullptr && threads == TSearchThreads::Two) {
    for (std::size_t i = 0; i < top->Items.size(); ++i)
      if (TZEBObject* item = top->Items.ObjectAt(i); item != nullptr && item->IsNode()) nodes.push_back(static_cast<THunk*>(item));
  }
  if (nodes.size() < 2) return RowsOfNodes({&root}, 0, 1, phrase);

  // The root's own text, then the nodes it holds in two halves, the second
  // on another thread. Searching only reads the tree.
  std::vector<TSearchRow> rows;
  {
    auto results = MakeDocument(SearchTitle(phrase));
    top->SearchOwnText(phrase, *results);
    rows = RowsOf(*results);
  }
  const std::size_t half = nodes.size() / 2;
  std::vector<TSearchRow> second;
  std::exception_ptr secondFailed;
  const auto searchSecond = [&] {
    try {
      second = RowsOfNodes(nodes, half, nodes.size(), phrase);
    } catch (...) {
      secondFailed = std::current_exception();
    }
  };
  std::thread other;
  try {
    other = std::thread(searchSecond);
  } catch (const std::system_error&) {
    searchSecond();  // no thread: one after the other
  }
  std::vector<TSearchRow> first;
  try {
    first = RowsOfNodes(nodes, 0, half, phrase);
  } catch (...) {
    if (other.joinable()) other.join();
    throw;
  }
  if (other.joinable()) other.join();
  if (secondFailed) std::rethrow_exception(secondFailed);
  for (auto* part : {&first, &second}) std::move(part->begin(), part->end(), std::back_inserter(rows));
  return rows;
}

namespace {
TFileSearch SearchOneFile(const std::string& path, const std::string& phrase) {
  TFileSearch found;
  found.Path = path;
  TObjectList list;
  const TLoadResult loaded = LoadHintFile(path, list, false);
  found.LoadCode = loaded.Code;
  found.LoadDamage = loaded.Damage;
  if (found.LoadCode == LoadResult::Loaded) {
    if (THunk* root = ListRootNode(list)) {
      found.Title = root->Text;
      found.Rows = SearchRows(*root, phrase);
    }
  }
  ClearList(list);
  return found;
}
}  // namespace

std::vector<TFileSearch> SearchHintFiles(const std::vector<std::string>& paths, const std::string& phrase,
                                         const volatile std::uint8_t& cancel,
                                         const std::function<void(std::size_t done)>& waiting) {
  std::vector<TFileSearch> results(paths.size());
  std::vector<char> searched(paths.size(), 0);
  std::atomic<std::size_t> next{0};
  std::size_t done = 0;
  std::mutex lock;
  std::condition_variable changed;
  // The flag is set by the waiting thread (a Cancel button while it waits);
  // the workers see it through this copy, which the waiting thread keeps.
  std::atomic<bool> cancelled{cancel != 0};
  const auto work = [&] {
    for (;;) {
      if (cancelled) break;
      const std::size_t i = next.fetch_add(1);
      if (i >= paths.size()) break;
      TFileSearch found = SearchOneFile(paths[i], phrase);
      const std::lock_guard<std::mutex> guard(lock);
      results[i] = std::move(found);
      searched[i] = 1;
      ++done;
      changed.notify_all();
    }
  };
  const unsigned workers = std::min<std::size_t>(2, std::max<std::size_t>(1, paths.size()));
  std::vector<std::thread> threads;
  std::atomic<unsigned> running{workers};
  for (unsigned w = 0; w < workers; ++w)
    threads.emplace_back([&] {
      work();
      const std::lock_guard<std::mutex> guard(lock);
      --running;
      changed.notify_all();
    });
  {
    std::unique_lock<std::mutex> guard(lock);
    while (running > 0) {
      changed.wait_for(guard, std::chrono::milliseconds(50));
      if (waiting) {
        const std::size_t soFar = done;
        guard.unlock();
        waiting(soFar);
        if (cancel != 0) cancelled = true;
        guard.lock();
      }
    }
  }
  for (std::thread& thread : threads) thread.join();
  std::vector<TFileSearch> kept;
  for (std::size_t i = 0; i < results.size(); ++i)
    if (searched[i]) kept.push_back(std::move(results[i]));
  return kept;
}

bool IsHintFileName(std::string_view name) {
  return name.size() >= 4 && EqualIgnoringCase(name.substr(name.size() - 4), ".zeb");
}

std::vector<std::string> HintFilesOfFolder(const std::string& folder, std::error_code& error) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  error.clear();
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (IsHintFileName(it->path().filename().string()) && it->is_regular_file(kind))
      files.push_back(it->path().string());
  }
  if (error) return {};
  std::sort(files.begin(), files.end());
  return files;
}
