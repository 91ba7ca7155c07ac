#pragma once
// SUBJECT, HINT, NESTHINT, COMMENT, CREDIT and VERSION nodes, the nodes of the
// 88a section, and display documents. The node reports its Kind member.

#include <cstdint>
#include <string>

#include "model/itemshunk.h"

class TMetaTextHunk : public TItemsHunk {
 public:
  TMetaTextHunk(std::string title, TZEBObject* owner, std::uint8_t kind);

  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void RestoreHintsShown(std::string& record) override;
  void SaveHintsShown(std::string& record) const override;
  void ResetHintsShown() override;
  void SetHintsShown(std::int32_t count) override;
  std::int32_t GetHintsShown() const override;
  void ReadBody(TLoadContext& context) override;
  void AppendDisplay(TItemsHunk& document) override;

  // 1 plus the number of hint separators among the items.
  std::int32_t HintCount() const;
  // HINT and NESTHINT nodes keep a count of revealed hints.
  bool HoldsHints() const;

  std::int32_t HintsShown = 0;
  std::uint8_t Kind;

 protected:
  bool OwnHintsShownValid() const override;

 private:
  void ReadSubjectBody(TLoadContext& context);
  void ReadHintBody(TLoadContext& context);
  void ReadNestHintBody(TLoadContext& context);
  void ReadPlainBody(TLoadContext& context);
  void AddSeparator();
};

// A hint separator: "-" drawn as a rule, ending its line.
THunkLine* MakeSeparator();
