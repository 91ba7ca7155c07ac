#pragma once
// Pictures: a HYPERPNG node holds one TPNGObject, the image with its hot
// regions; each region leads to a nested node among the object's items.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/itemshunk.h"

// Decoded pictures belong to the display; the model only keeps them.
class TPictureData {
 public:
  virtual ~TPictureData() = default;
};

struct TRegion {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  THunk* Target = nullptr;  // one of the object's items; not owned here
};

class TPNGObject : public TItemsHunk {
 public:
  TPNGObject(std::string title, TZEBObject* owner);

  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  // Reads line 3 and the regions of a hunk of `lines` lines.
  void ReadPicture(TLoadContext& context, std::int64_t lines);
  // Made by the factory (inline images): the hunk is the object itself.
  void ReadBody(TLoadContext& context) override;
  void AppendDisplay(TItemsHunk& document) override;

  std::int32_t DataOffset = 0;
  std::int32_t DataLength = 0;
  std::vector<TRegion> Regions;
  std::unique_ptr<TPictureData> Bitmap;
  std::unique_ptr<TPictureData> Overlays;

 protected:
  // A region whose target leaves the items goes with it.
  void ForgetItem(TZEBObject* item) override;
};

class THyperPNGHunk : public TItemsHunk {
 public:
  THyperPNGHunk(std::string title, TZEBObject* owner);

  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void ReadBody(TLoadContext& context) override;

  // The picture: the first item, or none.
  TPNGObject* Image() const;
};
