#include "model/pngobject.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "model/loader.h"
#include "model/loadcontext.h"

TPNGObject::TPNGObject(std::string title, TZEBObject* owner) : TItemsHunk(std::move(title), owner) {}

std::uint8_t TPNGObject::KindCode() const { return Kind::PngObject; }
const char* TPNGObject::ClassName() const { return "TPNGObject"; }

void TPNGObject::ReadBody(TLoadContext& context) { ReadPicture(context, LineCount); }

void TPNGObject::ReadPicture(TLoadContext& context, std::int64_t lines) {
  std::int32_t numbers[4] = {};
  if (context.ReadNumbers(numbers, 3)) {
    DataOffset = numbers[1];
    DataLength = numbers[2];
  }
  context.NextLine();
  for (std::int64_t i = 4; i <= lines && !context.Stopped();) {
    if (!context.ReadNumbers(numbers, 4)) break;
    context.NextLine();
    ++i;
    THunk* target = ReadHunk(context, this);
    if (target == nullptr) continue;
    i += target->LineCount;
    AddLine(target);
    Regions.push_back(TRegion{numbers[0], numbers[1], numbers[2], numbers[3], target});
  }
}

void TPNGObject::ForgetItem(TZEBObject* item) {
  std::erase_if(Regions, [item](const TRegion& region) { return region.Target == item; });
}

THyperPNGHunk::THyperPNGHunk(std::string title, TZEBObject* owner) : TItemsHunk(std::move(title), owner) {}

std::uint8_t THyperPNGHunk::KindCode() const { return Kind::HyperPng; }
const char* THyperPNGHunk::ClassName() const { return "THyperPNGHunk"; }

void THyperPNGHunk::ReadBody(TLoadContext& context) {
  auto picture = std::make_unique<TPNGObject>("", this);
  picture->LineNumber = context.LineCounter;
  picture->ReadPicture(context, LineCount);
  AddLine(picture.release());
}

TPNGObject* THyperPNGHunk::Image() const {
  if (Items.empty() || Items.front()->KindCode() != Kind::PngObject) return nullptr;
  return static_cast<TPNGObject*>(Items.front());
}
