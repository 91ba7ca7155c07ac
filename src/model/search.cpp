#include "model/search.h"

#include <utility>
#include <vector>

#include "model/datahunks.h"

std::string SearchTitle(const std::string& phrase) { return "Search Results for \"" + phrase + "\""; }

void THunk::Search(const std::string&, TItemsHunk&) {}

namespace {
// Appends the texts of the items joined as OwnText joins them.
void AppendOwnText(const TItemList& items, std::string& text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TItemView item = items.View(i);
    if (item.Object != nullptr) text += item.Object->GetText();
    else text += item.Text;
    if (item.Flags.SpaceAfter || item.Flags.EndsLine) text += ' ';
  }
}

void UpperCaseInPlace(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

// Whether the node's own text holds the phrase, letters a to z in any case.
// One buffer serves every node of a search, so a search of a large file
// makes no string per node.
bool OwnTextHolds(const TItemList& items, const std::string& phrase) {
  thread_local std::string text;
  thread_local std::string lastPhrase;
  thread_local std::string upperPhrase;
  if (phrase != lastPhrase) {
    lastPhrase = phrase;
    upperPhrase = UpperCaseAtoZ(phrase);
  }
  text.clear();
  AppendOwnText(items, text);
  UpperCaseInPlace(text);
  return text.find(upperPhrase) != std::string::npos;
}
}  // namespace

std::string TItemsHunk::OwnText() const {
  std::string text;
  AppendOwnText(Items, text);
  return text;
}

void TItemsHunk::Search(const std::string& phrase, TItemsHunk& results) {
  if (OwnTextHolds(Items, phrase)) {
    // The way from just below the top of the tree down to this node.
    std::vector<THunk*> way;
    for (TZEBObject* node = this; node->Owner != nullptr; node = node->Owner) way.push_back(static_cast<THunk*>(node));
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
  if (NodeItems == 0) return;
  for (std::size_t i = 0; i < Items.size(); ++i)
    if (THunk* node = NodeAt(i)) node->Search(phrase, results);
}

std::unique_ptr<TMetaTextHunk> FindInFile(THunk& root, const std::string& phrase, bool* found) {
  auto results = std::make_unique<TMetaTextHunk>(SearchTitle(phrase), nullptr, Kind::Subject);
  root.Search(phrase, *results);
  if (found != nullptr) *found = !results->Items.empty();
  if (!results->Items.empty() && results->Items.front()->Text == " ") results->RemoveItem(results->Items.front());
  return results;
}
