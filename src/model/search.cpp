#include "model/search.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "model/datahunks.h"

std::string SearchTitle(const std::string& phrase) { return "Search Results for \"" + phrase + "\""; }

void THunk::Search(const std::string&, TItemsHunk&) {}

namespace {
// Appends the texts of the items joined as OwnText joins them, upper-cased when asked.
void AppendOwnText(const TItemList& items, std::string& text, bool upper) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TItemView item = items.View(i);
    std::string_view piece = item.Text;
    std::string objectText;
    if (item.Object != nullptr) {
      objectText = item.Object->GetText();
      piece = objectText;
    }
    if (upper) AppendUpperCaseAtoZ(text, piece);
    else text += piece;
    if (item.Flags.SpaceAfter || item.Flags.EndsLine) text += ' ';
  }
}

// Whether the node's own text holds the phrase, letters a to z in any case.
// One buffer serves every node of a search (of a thread), so a search of a
// large file makes no string per node.
bool OwnTextHolds(const TItemList& items, const std::string& phrase) {
  using TSearcher = std::boyer_moore_horspool_searcher<std::string::const_iterator>;
  thread_local std::string text;
  thread_local std::string lastPhrase;
  thread_local std::string upperPhrase;
  thread_local std::optional<TSearcher> searcher;
  if (!searcher || phrase != lastPhrase) {
    lastPhrase = phrase;
    upperPhrase = UpperCaseAtoZ(phrase);
    searcher.emplace(upperPhrase.begin(), upperPhrase.end());
  }
  text.clear();
  AppendOwnText(items, text, true);
  return upperPhrase.empty() || std::search(text.cbegin(), text.cend(), *searcher) != text.cend();
}
}  // namespace

std::string TItemsHunk::OwnText() const {
  std::string text;
  AppendOwnText(Items, text, false);
  return text;
}

void TItemsHunk::Search(const std::string& phrase, TItemsHunk& results) {
  SearchOwnText(phrase, results);
  if (NodeItems == 0) return;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (THunk* node = NodeAt(i)) node->Search(phrase, results);
}

void TItemsHunk::SearchOwnText(const std::string& phrase, TItemsHunk& results) const {
  if (OwnTextHolds(Items, phrase)) {
    // The way from just below the top of the tree down to this node.
    std::vector<THunk*> way;
    for (const TZEBObject* node = this; node->Owner != nullptr; node = node->Owner)
      way.push_back(const_cast<THunk*>(static_cast<const THunk*>(node)));
    results.LineMode = 2;
    for (auto step = way.rbegin(); step != way.rend(); ++step) {
      auto* link = new TLinkHunk((*step)->Text, *step);
      link->TargetLine = (*step)->LineNumber;
      results.AddItem(link, false, false);
      if (*step != this) results.AddItem(new THunkLine(":", nullptr), false, false);
    }
    results.LineMode = 0;
    auto* end = new THunkLine(" ", nullptr);
    end->EndsLine = 1;
    results.AddLine(end);
  }
}

std::unique_ptr<TMetaTextHunk> FindInFile(THunk& root, const std::string& phrase, bool* found) {
  auto results = std::make_unique<TMetaTextHunk>(SearchTitle(phrase), nullptr, Kind::Subject);
  root.Search(phrase, *results);
  if (found != nullptr) *found = !results->Items.empty();
  if (!results->Items.empty() && results->Items.front()->Text == " ") results->RemoveItem(results->Items.front());
  return results;
}
