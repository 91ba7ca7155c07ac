#include "model/infohunk.h"

#include <utility>

#include "model/loadcontext.h"
#include "model/numbers.h"
#include "model/textcase.h"

TInfoHunk::TInfoHunk(std::string title, TZEBObject* owner) : TItemsHunk(std::move(title), owner) {}

std::uint8_t TInfoHunk::KindCode() const { return Kind::Info; }
const char* TInfoHunk::ClassName() const { return "TInfoHunk"; }

void TInfoHunk::ReadBody(TLoadContext& context) {
  for (std::int64_t i = 3; i <= LineCount && !context.Stopped(); ++i) ReadField(context.ReadLine());
}

void TInfoHunk::ReadField(const std::string& line) {
  // The tests run in this order, each on the text as the earlier ones left it.
  std::string s = line;
  if (StartsWithUpper(s, "AUTHOR=")) Author = s.substr(7);
  if (StartsWithUpper(s, "PUBLISHER=")) Publisher = s.substr(10);
  if (StartsWithUpper(s, "DATE=")) Date = s.substr(5);
  if (StartsWithUpper(s, "TIME=")) Time = s.substr(5);
  if (StartsWithUpper(s, "LENGTH=")) {
    s = s.substr(7);
    FileLength = LeadingNumber(s);
  }
  if (StartsWithUpper(s, "COPYRIGHT=")) {
    s = s.substr(10);
    CopyrightLines.push_back(std::make_unique<THunkLine>(s, nullptr));
  }
  if (StartsWithUpper(s, "AUTHOR-NOTE=")) {
    s = s.substr(12);
    AuthorNotes.push_back(std::make_unique<THunkLine>(s, nullptr));
  }
  if (StartsWithUpper(s, "GAME-NOTE=")) {
    s = s.substr(10);
    GameNotes.push_back(std::make_unique<THunkLine>(s, nullptr));
  }
}

void TInfoHunk::AddField(const std::string& label, const std::string& value) {
  if (value.empty()) return;
  AddLine(new THunkLine(label, nullptr));
  if (!Items.empty()) Items.back()->EndsLine = 1;
  AddLine(new THunkLine(value, nullptr));
  AddLine(new THunkLine(" ", nullptr));
}

void TInfoHunk::AddBlock(const std::string& heading, const std::vector<std::unique_ptr<THunkLine>>& lines) {
  if (lines.empty()) return;
  AddLine(new THunkLine(heading, nullptr));
  for (const auto& line : lines) AddLine(new THunkLine(line->Text, nullptr));
  AddLine(new THunkLine(" ", nullptr));
}

void TInfoHunk::Finish(const TItemsHunk* version) {
  AddField("Author:", Author);
  AddField("Game Publisher:", Publisher);
  if (!Date.empty() && !Time.empty()) AddField("Time Created:", Date + " " + Time);
  AddBlock("Copyright:", CopyrightLines);
  AddBlock("About the Author:", AuthorNotes);
  AddBlock("About the Game:", GameNotes);
  if (version != nullptr) {
    AddField("ZEB Version:", version->Text);
    AddLine(new THunkLine("Compiler Info:", nullptr));
    for (std::size_t i = 0; i < version->Items.size(); ++i)
      AddLine(new THunkLine(std::string(version->Items.View(i).Text), nullptr));
  }
  const TZEBObject* root = Root();
  Text = root->Text + " File Information";
}
