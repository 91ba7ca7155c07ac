#pragma once
// Nodes without items: overlays of pictures, embedded data this reader does
// not decode (GIFA, SOUND), links to other hunks, and blank entries.

#include <cstdint>
#include <string>

#include "model/hunk.h"

// A picture painted onto its HYPERPNG picture at (X, Y) when its region is clicked.
class TOverlayHunk : public THunk {
 public:
  TOverlayHunk(std::string title, TZEBObject* owner);
  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void ReadBody(TLoadContext& context) override;
  void AppendDisplay(TItemsHunk& document) override;

  std::int32_t DataOffset = 0;
  std::int32_t DataLength = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
};

// Embedded data that is only located, never decoded: its end counts for the checksum.
class TDataHunk : public THunk {
 public:
  TDataHunk(std::string title, TZEBObject* owner);
  std::int64_t DataEnd() const override;
  void ReadBody(TLoadContext& context) override;

  std::int32_t DataOffset = 0;
  std::int32_t DataLength = 0;
};

class TGIFaHunk : public TDataHunk {
 public:
  using TDataHunk::TDataHunk;
  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void AppendDisplay(TItemsHunk& document) override;
};

class TSoundHunk : public TDataHunk {
 public:
  using TDataHunk::TDataHunk;
  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void AppendDisplay(TItemsHunk& document) override;
};

// A reference to another hunk by the line number of its header.
class TLinkHunk : public THunk {
 public:
  // The caller sets TargetLine (search results use this).
  TLinkHunk(std::string title, TZEBObject* owner);
  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  // The label of the node the link refers to, or "" when there is none.
  std::string GetLabel() const override;
  // A link shows nothing in a display document.
  void AppendDisplay(TItemsHunk& document) override;
  void ReadBody(TLoadContext& context) override;

  // The node the link refers to, looked up in its root's subtree.
  THunk* Target() const;
  // The node at the end of a chain of links (a link to a link...), or none
  // when there is none or the chain runs in a circle.
  THunk* FinalTarget() const;

  std::int32_t TargetLine = 0;

  static constexpr int MaxLinkHops = 64;
};

class TBlankHunk : public THunk {
 public:
  TBlankHunk(std::string title, TZEBObject* owner);
  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  // Always "": the title line of a blank entry is not shown.
  std::string GetText() const override;
  void AppendDisplay(TItemsHunk& document) override;
};
