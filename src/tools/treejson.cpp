#include "tools/treejson.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "model/datahunks.h"
#include "model/infohunk.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"

using json = nlohmann::ordered_json;

std::string BytesToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

bool Utf8ToBytes(std::string_view utf8, std::string& bytes) {
  bytes.clear();
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      bytes += static_cast<char>(b);
    } else if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size()) {
      bytes += static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    } else {
      return false;
    }
  }
  return true;
}

json ObjectToJson(const TZEBObject& object) {
  json out;
  out["class"] = object.ClassName();
  out["kind"] = object.KindCode();
  out["text"] = BytesToUtf8(object.Text);
  out["flags"] = {object.EndsLine, object.IsRule, object.Wraps, object.UseFixedFont, object.SpaceAfter};
  if (!object.IsNode()) return out;

  const auto& node = static_cast<const THunk&>(object);
  out["line"] = node.LineNumber;
  out["count"] = node.LineCount;
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&node)) {
    out["modes"] = {items->LineMode, items->BreakMode, items->FontMode};
    json list = json::array();
    for (const TZEBObject* item : items->Items) list.push_back(ObjectToJson(*item));
    out["items"] = std::move(list);
  }
  if (const auto* meta = dynamic_cast<const TMetaTextHunk*>(&node)) {
    out["hintsShown"] = meta->HintsShown;
  } else if (const auto* text = dynamic_cast<const TTextHunk*>(&node)) {
    out["textFlags"] = text->TextFlags;
    out["offset"] = text->DataOffset;
    out["length"] = text->DataLength;
  } else if (const auto* png = dynamic_cast<const TPNGObject*>(&node)) {
    out["offset"] = png->DataOffset;
    out["length"] = png->DataLength;
    json regions = json::array();
    for (const TRegion& region : png->Regions) {
      const auto at = std::find(png->Items.begin(), png->Items.end(), region.Target);
      regions.push_back({region.Left, region.Top, region.Right, region.Bottom, at - png->Items.begin()});
    }
    out["regions"] = std::move(regions);
  } else if (const auto* overlay = dynamic_cast<const TOverlayHunk*>(&node)) {
    out["offset"] = overlay->DataOffset;
    out["length"] = overlay->DataLength;
    out["x"] = overlay->X;
    out["y"] = overlay->Y;
  } else if (const auto* data = dynamic_cast<const TDataHunk*>(&node)) {
    out["offset"] = data->DataOffset;
    out["length"] = data->DataLength;
  } else if (const auto* link = dynamic_cast<const TLinkHunk*>(&node)) {
    out["target"] = link->TargetLine;
  } else if (const auto* info = dynamic_cast<const TInfoHunk*>(&node)) {
    out["author"] = BytesToUtf8(info->Author);
    out["publisher"] = BytesToUtf8(info->Publisher);
    out["date"] = BytesToUtf8(info->Date);
    out["time"] = BytesToUtf8(info->Time);
    out["fileLength"] = info->FileLength;
  }
  return out;
}

json TreeToJson(int result, const TObjectList& list) {
  json objects = json::array();
  for (const auto& object : list) objects.push_back(ObjectToJson(*object));
  return json{{"result", result}, {"objects", std::move(objects)}};
}
