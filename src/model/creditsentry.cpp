#include "model/creditsentry.h"

#include <memory>

#include "model/datahunks.h"
#include "model/infohunk.h"
#include "model/metatexthunk.h"

void AppendCreditsEntry(const TObjectList& list, THunk& root) {
  const auto* version = dynamic_cast<const TMetaTextHunk*>(FindByKind(list, Kind::VerHunk));
  const auto* info = dynamic_cast<const TInfoHunk*>(FindByKind(list, Kind::Info));
  auto* owner = dynamic_cast<TItemsHunk*>(&root);
  if (version == nullptr || info == nullptr || owner == nullptr) return;
  if (version->Text != "95a" && version->Text != "96a") return;
  // A spacer line, then the credits: both stand on lines of their own.
  auto* spacer = new TBlankHunk(" ", owner);
  spacer->EndsLine = 1;
  owner->Append(spacer);
  auto credits = std::make_unique<TInfoHunk>("Credits and File Information", owner);
  credits->EndsLine = 1;
  for (const TZEBObject* line : info->Items) {
    auto* copy = new THunkLine(line->Text, nullptr);
    copy->EndsLine = line->EndsLine;
    copy->IsRule = line->IsRule;
    copy->Wraps = line->Wraps;
    copy->UseFixedFont = line->UseFixedFont;
    copy->SpaceAfter = line->SpaceAfter;
    credits->Append(copy);
  }
  owner->Append(credits.release());
}
