#pragma once
// TEXT node: its text lies in the embedded data and is fetched after the
// whole text part was read (LoadDeferredData).

#include <cstdint>
#include <string>

#include "model/itemshunk.h"

class TTextHunk : public TItemsHunk {
 public:
  TTextHunk(std::string title, TZEBObject* owner);

  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void LoadDeferredData(TLoadContext& context) override;
  void ReadBody(TLoadContext& context) override;
  void AppendDisplay(TItemsHunk& document) override;

  // Bit 0: fixed-pitch font. Bit 1: lines never break at spaces.
  std::int32_t TextFlags = 0;
  std::int32_t DataOffset = 0;
  std::int32_t DataLength = 0;
};
