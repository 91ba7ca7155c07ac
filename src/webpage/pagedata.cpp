#include "webpage/pagedata.h"

#include <unordered_map>
#include <vector>

#include "model/datahunks.h"
#include "model/itemshunk.h"
#include "model/pngobject.h"
#include "webpage/filebytes.h"
#include "webpage/pagetext.h"

namespace {

// As the reader tells them: a line "-" that is not a node.
bool IsSeparator(const TItemView& item) { return !item.IsNode() && item.Text == "-"; }

int FlagBits(const TItemFlags& flags) {
  return (flags.EndsLine ? 1 : 0) | (flags.IsRule ? 2 : 0) | (flags.Wraps ? 0 : 4) | (flags.UseFixedFont ? 8 : 0) |
         (flags.SpaceAfter ? 16 : 0);
}

class TPageDataWriter {
 public:
  TPageDataWriter(THintFileBytes& file, std::string& out) : File(file), Out(out) {}

  void Write(THunk& root, const TPageMemoryKeys& keys) {
    Number(root, -1, false);
    Out += "{\"title\":";
    AppendJsonBytes(Out, ShownTitle(root.Text));
    Out += ",\"key\":";
    AppendJsonBytes(Out, keys.Key);
    Out += ",\"oldKey\":";
    AppendJsonBytes(Out, keys.OldKey);
    Out += ",\"nodes\":[";
    for (std::size_t i = 0; i < Nodes.size(); ++i) {
      if (i > 0) Out += ",\n";
      WriteNode(*Nodes[i].Node, Nodes[i].Parent, Nodes[i].InHint);
    }
    Out += "]}";
  }

 private:
  struct TEntry {
    THunk* Node;
    int Parent;
    bool InHint;
  };

  // Numbers the node and every node below it, pictures' region targets
  // included; parent is the view they are shown from. inHint: the node
  // stands among the hints of a question, or below a node that does.
  void Number(THunk& node, int parent, bool inHint) {
    if (Index.contains(&node)) return;
    const int own = static_cast<int>(Nodes.size());
    Index.emplace(&node, own);
    Nodes.push_back({&node, parent, inHint});
    auto* items = dynamic_cast<TItemsHunk*>(&node);
    if (items == nullptr) return;
    const int shownFrom = HasOwnWindow(node.KindCode()) || parent < 0 ? own : parent;
    const bool childrenInHint = inHint || node.KindCode() == Kind::Hint || node.KindCode() == Kind::NestHint;
    for (std::size_t i = 0; i < items->Items.size(); ++i) {
      const TItemView item = items->Items.View(i);
      if (!item.IsNode()) continue;
      auto* child = const_cast<THunk*>(static_cast<const THunk*>(item.Object));
      if (child->KindCode() == Kind::PngObject) {
        Pictures.emplace(child, static_cast<int>(Pictures.size()));
        // The picture itself has no entry: its regions lead to its items.
        auto* picture = static_cast<TPNGObject*>(child);
        for (std::size_t j = 0; j < picture->Items.size(); ++j) {
          const TItemView target = picture->Items.View(j);
          if (target.IsNode())
            Number(*const_cast<THunk*>(static_cast<const THunk*>(target.Object)), shownFrom, childrenInHint);
        }
        continue;
      }
      Number(*child, shownFrom, childrenInHint);
    }
  }

  int IndexOf(const THunk* node) const {
    const auto found = Index.find(node);
    return found == Index.end() ? -1 : found->second;
  }

  void WriteNode(THunk& node, int parent, bool inHint) {
    const std::uint8_t kind = node.KindCode();
    Out += "{\"k\":" + std::to_string(kind);
    // A title among hints gives away as much as the hint it stands in.
    if (inHint) {
      Out += ",\"s\":1,\"t\":";
      AppendJsonBytes(Out, ScrambleForPage(ShownTitle(node.GetText())));
    } else {
      Out += ",\"t\":";
      AppendJsonBytes(Out, ShownTitle(node.GetText()));
    }
    Out += ",\"p\":" + std::to_string(parent);
    if (kind == Kind::Link) {
      Out += ",\"to\":" + std::to_string(IndexOf(static_cast<TLinkHunk&>(node).FinalTarget()));
    } else if (kind == Kind::Overlay) {
      auto& overlay = static_cast<TOverlayHunk&>(node);
      const auto picture = Pictures.find(overlay.Owner);
      Out += ",\"g\":" + std::to_string(picture == Pictures.end() ? -1 : picture->second);
      Out += ",\"x\":" + std::to_string(overlay.X) + ",\"y\":" + std::to_string(overlay.Y);
      WritePng(overlay.DataOffset, overlay.DataLength);
    } else if (HasOwnWindow(kind) || parent < 0) {
      if (auto* items = dynamic_cast<TItemsHunk*>(&node)) WriteItems(*items);
    }
    Out += '}';
  }

  void WriteItems(const TItemsHunk& node) {
    Out += ",\"i\":[";
    for (std::size_t i = 0; i < node.Items.size(); ++i) {
      if (i > 0) Out += ',';
      const TItemView item = node.Items.View(i);
      if (item.IsNode()) {
        const auto* child = static_cast<const THunk*>(item.Object);
        if (child->KindCode() == Kind::PngObject) {
          WritePicture(*static_cast<const TPNGObject*>(child));
        } else {
          Out += '[' + std::to_string(IndexOf(child)) + ',' + std::to_string(FlagBits(item.Flags)) + ']';
        }
      } else if (IsSeparator(item)) {
        Out += "-1";
      } else {
        // An object's text as the reader draws it; a compact line's is its Text.
        const std::string text = item.Object != nullptr ? item.Object->GetText() : std::string(item.Text);
        std::string scrambled(1, static_cast<char>('@' + FlagBits(item.Flags)));
        scrambled += ScrambleForPage(text);
        AppendJsonBytes(Out, scrambled);
      }
    }
    Out += ']';
  }

  void WritePicture(const TPNGObject& picture) {
    Out += "{\"g\":" + std::to_string(Pictures.at(&picture));
    WritePng(picture.DataOffset, picture.DataLength);
    Out += ",\"r\":[";
    bool first = true;
    for (const TRegion& region : picture.Regions) {
      const int target = IndexOf(region.Target);
      if (target < 0) continue;
      if (!first) Out += ',';
      first = false;
      Out += '[' + std::to_string(region.Left) + ',' + std::to_string(region.Top) + ',' + std::to_string(region.Right) +
             ',' + std::to_string(region.Bottom) + ',' + std::to_string(target) + ']';
    }
    Out += "]}";
  }

  // The size and the stream, unless the stream is damaged.
  void WritePng(std::int64_t offset, std::int64_t length) {
    const std::optional<std::string> png = File.Read(offset, length);
    const std::optional<TPngSize> size = png ? PngSize(*png) : std::nullopt;
    if (!size) return;
    Out += ",\"w\":" + std::to_string(size->Width) + ",\"h\":" + std::to_string(size->Height) + ",\"d\":\"";
    AppendBase64(Out, *png);
    Out += '"';
  }

  THintFileBytes& File;
  std::string& Out;
  std::vector<TEntry> Nodes;
  std::unordered_map<const THunk*, int> Index;
  std::unordered_map<const TZEBObject*, int> Pictures;
};
}  // namespace

std::string PageDataJson(THunk& root, THintFileBytes& file, const TPageMemoryKeys& keys) {
  std::string out;
  TPageDataWriter(file, out).Write(root, keys);
  return out;
}
