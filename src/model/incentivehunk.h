#pragma once
// INCENTIVE node: a list of hunks by line number, each with a one-letter
// class; Apply removes from the tree every hunk listed with class Y or Z.
// Its items are its body lines, still scrambled.

#include <cstdint>
#include <string>

#include "model/itemshunk.h"

class TIncentiveHunk : public TItemsHunk {
 public:
  TIncentiveHunk(std::string title, TZEBObject* owner);

  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void ReadBody(TLoadContext& context) override;

  virtual void Apply();
};
