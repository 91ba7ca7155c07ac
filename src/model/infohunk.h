#pragma once
// INFO node: the credits of a hint file. After reading, Finish builds the
// readable "File Information" page in the node's items.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/itemshunk.h"

class TInfoHunk : public TItemsHunk {
 public:
  TInfoHunk(std::string title, TZEBObject* owner);

  std::uint8_t KindCode() const override;
  const char* ClassName() const override;
  void ReadBody(TLoadContext& context) override;

  // Builds the page and sets the title; version is the VERSION node read so far, or none.
  virtual void Finish(const TItemsHunk* version);

  // Reads one NAME=value line of the hunk.
  void ReadField(const std::string& line);

  std::string Date;
  std::string Time;
  std::string Author;
  std::string Publisher;
  std::int32_t FileLength = 0;
  std::vector<std::unique_ptr<THunkLine>> CopyrightLines;
  std::vector<std::unique_ptr<THunkLine>> AuthorNotes;
  std::vector<std::unique_ptr<THunkLine>> GameNotes;

 private:
  void AddField(const std::string& label, const std::string& value);
  void AddBlock(const std::string& heading, const std::vector<std::unique_ptr<THunkLine>>& lines);
};
