#include "model/search.h"

#include <utility>
#include <vector>

#include "model/datahunks.h"

std::string SearchTitle(const std::string& phrase) { return "Search Results for \"" + phrase + "\""; }

void THunk::Search(const std::string&, TItemsHunk&) {}

std::string TItemsHunk::OwnText() const {
  std::string text;
  for (const TZEBObject* item : Items) {
    text += item->GetText();
    if (item->SpaceAfter || item->EndsLine) text += ' ';
  }
  return text;
}

void TItemsHunk::Search(const std::string& phrase, TItemsHunk& results) {
  if (UpperCaseAtoZ(OwnText()).find(UpperCaseAtoZ(phrase)) != std::string::npos) {
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
  for (TZEBObject* item : Items)
    if (item->IsNode()) static_cast<THunk*>(item)->Search(phrase, results);
}

std::unique_ptr<TMetaTextHunk> FindInFile(THunk& root, const std::string& phrase, bool* found) {
  auto results = std::make_unique<TMetaTextHunk>(SearchTitle(phrase), nullptr, Kind::Subject);
  root.Search(phrase, *results);
  if (found != nullptr) *found = !results->Items.empty();
  if (!results->Items.empty() && results->Items.front()->Text == " ") results->RemoveItem(results->Items.front());
  return results;
}
