#include "model/incentivehunk.h"

#include <string_view>
#include <utility>

#include "model/encodings.h"
#include "model/loadcontext.h"
#include "model/numbers.h"

TIncentiveHunk::TIncentiveHunk(std::string title, TZEBObject* owner) : TItemsHunk(std::move(title), owner) {}

std::uint8_t TIncentiveHunk::KindCode() const { return Kind::Incentive; }
const char* TIncentiveHunk::ClassName() const { return "TIncentiveHunk"; }

void TIncentiveHunk::ReadBody(TLoadContext& context) {
  for (std::int64_t i = 3; i <= LineCount && !context.Stopped(); ++i)
    AddLine(new THunkLine(context.ReadLine(), nullptr));
}

void TIncentiveHunk::Apply() {
  THunk* root = RootNode();
  if (root == nullptr) return;
  const std::string mask = TitleMask(root->Text);
  for (const TZEBObject* item : Items) {
    std::string decoded = item->Text;
    DecodeWithMask(decoded, mask, TMaskVariant::NestedHint);
    std::string_view t = decoded;
    while (!t.empty()) {
      // Tokens are separated by single spaces; a token keeps any further ones.
      std::string_view token = t;
      const std::size_t p = t.find(' ');
      if (p == std::string_view::npos || p == 0) {
        t = {};
      } else {
        token = t.substr(0, p);
        t = t.substr(p + 1);
      }
      const char letter = token.back();
      const std::int32_t line = LeadingNumber(token.substr(0, token.size() - 1));
      if (letter != 'Y' && letter != 'Z') continue;
      THunk* node = root->FindByLine(line);
      // The root itself has no owner to remove it from.
      if (node == nullptr || node == root || node->Owner == nullptr || !node->Owner->IsNode()) continue;
      auto* owner = dynamic_cast<TItemsHunk*>(node->Owner);
      if (owner != nullptr) owner->RemoveItem(node);
    }
  }
}
