#pragma once
// State of one load: the reader, the line counter of the newer section, the
// inline-images flag and the nesting depth of the hunk being read.

#include <cstdint>
#include <memory>
#include <string>

#include "model/hintreader.h"
#include "model/loadresult.h"
#include "model/textstore.h"

class TLoadContext {
 public:
  // A hunk nested this deep (the root's items are at depth 1) makes the file
  // damaged: the display, search, outline, web page and destructors walk
  // the tree by recursion, so no file may nest deeper than they can go.
  static constexpr int MaxDepth = 256;
  // Files from this size on load on two cores: the checksum and the touching
  // of the text store's blocks go to other threads. Smaller files load too
  // fast for a thread to pay.
  static constexpr std::int64_t LargeFile = 8 << 20;

  TLoadContext(THintReader& reader, bool inlineImages);
  ~TLoadContext();  // the text store stops preparing blocks: the load is over
  TLoadContext(const TLoadContext&) = delete;
  TLoadContext& operator=(const TLoadContext&) = delete;

  // True when a read failed or the text has ended: body loops stop there.
  bool Stopped();
  // Reads one line and counts it.
  std::string ReadLine();
  // Reads one line and counts it; the view is good until the next read.
  std::string_view ReadLineView();
  // The text store of this load's compact lines and item lists, made on first use.
  const std::shared_ptr<TTextStore>& SharedTexts();
  // Reads and drops lines first to last of a hunk, counting each.
  void SkipBodyLines(std::int64_t first, std::int64_t last);
  // Reads count numbers; false as soon as one fails.
  bool ReadNumbers(std::int32_t* values, int count);
  // Skips at most two characters up to and including the line end, and counts the line.
  void NextLine();

  THintReader& Reader;
  std::int32_t LineCounter = 0;
  bool InlineImages = false;
  int Depth = 0;
  // Set when the hunks nest too deep: reading stops and the file is damaged.
  TDamage Damage = TDamage::None;
  // Whether any hunk read so far has data after the text part to load
  // (TEXT), or embedded data the checksum may cover (GIFA, SOUND): walks of
  // the whole tree for them are skipped when none has.
  bool HasDeferredData = false;
  bool HasEmbeddedData = false;

 private:
  std::string Scratch;  // a line longer than the reader's buffer
  std::shared_ptr<TTextStore> TextStore;
};
