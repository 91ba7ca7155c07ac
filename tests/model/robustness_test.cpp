// Damaged hint files are normal input: every mutated version of a few valid
// files must load with a result code, and a tree that loads must hold only
// live objects (the sanitizer build catches dangling pointers in the walk).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "model/datahunks.h"
#include "model/infohunk.h"
#include "model/itemshunk.h"
#include "model/loader.h"
#include "model/pngobject.h"
#include "support/fixtures.h"

namespace {

// ---- fixtures --------------------------------------------------------------

std::string OldestGeneration() {
  THintFileWriter file;
  file.Title88a = "The Old House";
  file.Subjects = {
      {"The Garden", {{"How do I open the gate", {"Push it.", "Harder.", "#w+Really #p-hard#p+."}},
                      {"Where is the key", {"Under the pot."}}}},
      {"The Cellar", {{"It is dark", {"Light", "Find a lamp", "Page #5 of ## the manual"}}}},
  };
  file.NoteLines = {"Written long ago.", " ", "#w-Enjoy"};
  file.EndMarker = false;
  return file.Build();
}

struct TNewerOptions {
  std::string LineEnd = "\r\n";
  bool LengthLine = false;
  THintFileWriter::TChecksumPlace Place = THintFileWriter::TChecksumPlace::FileEnd;
};

// A file with both sections and every hunk kind, pictures with regions,
// nested hints and an INCENTIVE list that removes some nodes.
std::string EveryHunkKind(const TNewerOptions& options) {
  THintFileWriter file;
  file.LineEnd = options.LineEnd;
  file.ChecksumPlace = options.Place;
  file.Title88a = "The Tower";
  file.Subjects = {{"Upstairs", {{"What is behind the door", {"A room.", "An empty room."}}}}};
  file.NoteLines = {"See the newer section."};

  auto door = Hint("How do I open the door?",
                   {"Look around.", "-", "Try the #p-OPEN#p+ command.", "-", "Press ## to continue", "x"});
  auto removed = Hint("Spoiler", {"Gone after the list is applied."});
  auto inner = NestHint("Deeper", {"Inner line", "-", Subject("Inside", {Hint("Leaf?", {"Leaf hint"})})});
  auto nest = NestHint("Why is the lamp dark?",
                       {"-", "Something is missing.", "-", "#w+Oil flows here", Hint("Where is the oil?", {"In the shed."}), "-",
                        inner, "Last."});
  auto regionSubject = Subject("Region subject", {Hint("Region hint", {"In the picture."})});
  auto map = file.HyperPng("Map", TinyPng(8, 6),
                           {{0, 0, 4, 3, regionSubject},
                            {4, 0, 8, 3, Hint("Corner", {"Top right."})},
                            {0, 3, 4, 6, file.Overlay("Shade", TinyPng(4, 3), 0, 3)},
                            {4, 3, 8, 6, Link("To the door", door)}});
  auto comment = PlainHunk("COMMENT", "Comment", {"A plain comment", "#w-two lines"});
  auto root = Subject("The Tower",
                      {Subject("Doors", {door, removed, nest}), map,
                       file.Text("Notes", 3, {"First text line", "#w+ flowing", "", "Last"}),
                       file.Text("More notes", 0, {"Plain"}), comment,
                       PlainHunk("CREDIT", "Thanks", {"To everyone"}), PlainHunk("BLANK", "ignored", {"x"}),
                       Link("Back to the lamp", nest), LinkToLine("Nowhere", 9999),
                       file.Gifa("Old picture", "GIF89a-not-really"), file.Sound("Creak", std::string(40, '\x7f')),
                       PlainHunk("FUTURE", "Unknown kind", {"a", "b"})});

  auto info = PlainHunk("INFO", "", {"AUTHOR=Someone", "publisher=Games Inc", "DATE=01-Jan-99", "TIME=10:00",
                                     "COPYRIGHT=(c) 1999", "AUTHOR-NOTE=Hello", "GAME-NOTE=A game"});
  if (options.LengthLine) info->Pieces({TWPiece::Literal("LENGTH="), TWPiece::LengthOfFile()});
  file.Hunks = {root,
                PlainHunk("VERSION", "96a", {"Writer 1.0"}),
                info,
                Incentive("List", {{{.Target = removed, .Class = 'Y'}, {.Target = regionSubject, .Class = 'Z'}},
                                   {{.Target = comment, .Class = 'N'}, {.Target = nullptr, .Line = 9999, .Class = 'Y'}}}),
                Subject("Outside the root", {Hint("Unreachable", {"Only at the top level."})})};
  return file.Build();
}

// ---- the walk --------------------------------------------------------------

struct TWalk {
  std::set<const TZEBObject*> Seen;
  std::size_t Texts = 0;
};

// Touches every member a display or a search would read, and checks that the
// tree is a tree: each object once, owners and region targets in place.
void Walk(const TZEBObject& object, const TZEBObject* container, TWalk& walk) {
  ASSERT_TRUE(walk.Seen.insert(&object).second) << "an object appears twice in the tree";
  walk.Texts += object.GetText().size() + object.Text.size();
  ASSERT_LE(object.KindCode(), Kind::Abstract);
  ASSERT_NE(object.ClassName(), nullptr);
  for (const std::uint8_t flag : {object.EndsLine, object.IsRule, object.Wraps, object.UseFixedFont,
                                  object.SpaceAfter})
    ASSERT_LE(flag, 1);
  if (object.Owner != nullptr) walk.Texts += object.Owner->Text.size() + object.Owner->KindCode();
  if (!object.IsNode()) {
    ASSERT_TRUE(object.Owner == nullptr || object.Owner == container);
    return;
  }
  if (container != nullptr) {
    ASSERT_EQ(object.Owner, container);
  }

  const auto& node = static_cast<const THunk&>(object);
  walk.Texts += node.GetLabel().size() + node.Label.size();
  (void)node.DataEnd();
  (void)node.HintsShownValid();
  (void)node.GetHintsShown();
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&node)) {
    for (const TZEBObject* item : items->Items) {
      ASSERT_NE(item, nullptr);
      Walk(*item, &node, walk);
      if (testing::Test::HasFatalFailure()) return;
    }
  }
  if (const auto* png = dynamic_cast<const TPNGObject*>(&node)) {
    for (const TRegion& region : png->Regions) {
      ASSERT_NE(region.Target, nullptr);
      ASSERT_NE(std::find(png->Items.begin(), png->Items.end(), region.Target), png->Items.end())
          << "a region refers to a node that is not among the picture's items";
      walk.Texts += region.Target->Text.size();
    }
  }
  if (const auto* hyper = dynamic_cast<const THyperPNGHunk*>(&node)) {
    if (const TPNGObject* image = hyper->Image()) {
      ASSERT_EQ(image, hyper->Items.front());
    }
  }
  if (const auto* info = dynamic_cast<const TInfoHunk*>(&node)) {
    for (const auto* lines : {&info->CopyrightLines, &info->AuthorNotes, &info->GameNotes})
      for (const auto& line : *lines) walk.Texts += line->Text.size();
  }
}

// Loads the bytes and checks the result; returns the code.
int LoadAndWalk(const TTempDir& dir, const std::string& bytes, bool inlineImages, const std::string& what) {
  const std::string path = dir.Write("mutant.zeb", bytes);
  TLoaded loaded;
  loaded.Code = LoadHintFile(path, loaded.List, inlineImages).Code;
  EXPECT_GE(loaded.Code, 0) << what;
  EXPECT_LE(loaded.Code, 5) << what;
  if (loaded.Code != LoadResult::Loaded) {
    EXPECT_TRUE(loaded.List.empty()) << what << ": a failed load must leave the list empty";
    return loaded.Code;
  }
  // Labels make links resolve their targets during the walk.
  if (auto* root = ListRootNode(loaded.List)) root->AssignLabels("");
  TWalk walk;
  for (std::size_t i = 0; i < loaded.List.size(); ++i) {
    const TZEBObject& object = *loaded.List[i];
    SCOPED_TRACE(what + ", top-level object " + std::to_string(i));
    EXPECT_EQ(object.Owner, i < 2 ? nullptr : loaded.List[1].get());
    Walk(object, nullptr, walk);
    if (testing::Test::HasFatalFailure()) break;
  }
  return loaded.Code;
}

// ---- mutations -------------------------------------------------------------

// Deterministic random numbers: mt19937's sequence is fixed by the standard.
class TDice {
 public:
  explicit TDice(std::uint32_t seed) : Engine(seed) {}
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : Engine() % n; }
  char Byte() {
    // Bytes that mean something to the reader come up often.
    static const std::string special = "\r\n\x1a#=-+. 0123456789";
    return Below(3) == 0 ? special[Below(special.size())] : static_cast<char>(Engine() & 0xFF);
  }

 private:
  std::mt19937 Engine;
};

struct TMutant {
  std::string Bytes;
  std::string What;
};

// Decimal numbers of the text part (header counts, offsets, lengths, targets).
std::vector<std::pair<std::size_t, std::size_t>> NumbersOfTextPart(const std::string& bytes) {
  const std::size_t end = std::min(bytes.find('\x1a'), bytes.size());
  std::vector<std::pair<std::size_t, std::size_t>> numbers;
  for (std::size_t i = 0; i < end;) {
    if (bytes[i] < '0' || bytes[i] > '9') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < end && bytes[j] >= '0' && bytes[j] <= '9') ++j;
    numbers.emplace_back(i, j - i);
    i = j;
  }
  return numbers;
}

std::vector<TMutant> Mutants(const std::string& original, std::uint32_t seed) {
  std::vector<TMutant> mutants;
  TDice dice(seed);
  const std::size_t size = original.size();
  const auto add = [&](std::string bytes, std::string what) { mutants.push_back({std::move(bytes), std::move(what)}); };

  for (int n = 0; n < 40; ++n) {
    std::string bytes = original;
    const std::size_t flips = 1 + dice.Below(4);
    for (std::size_t k = 0; k < flips; ++k) bytes[dice.Below(size)] ^= static_cast<char>(1 << dice.Below(8));
    add(std::move(bytes), "bit flips #" + std::to_string(n));
  }
  for (int n = 0; n < 40; ++n) {
    std::string bytes = original;
    const std::size_t count = 1 + dice.Below(8);
    for (std::size_t k = 0; k < count; ++k) bytes[dice.Below(size)] = dice.Byte();
    add(std::move(bytes), "random bytes #" + std::to_string(n));
  }
  for (int n = 0; n < 40; ++n) {
    std::string bytes = original;
    const std::size_t at = dice.Below(size);
    bytes.erase(at, 1 + dice.Below(64));
    add(std::move(bytes), "deleted range #" + std::to_string(n));
  }
  for (int n = 0; n < 40; ++n) {
    std::string bytes = original;
    const std::size_t from = dice.Below(size);
    const std::string range = bytes.substr(from, 1 + dice.Below(80));
    bytes.insert(dice.Below(2) == 0 ? from : dice.Below(size), range);
    add(std::move(bytes), "duplicated range #" + std::to_string(n));
  }
  for (int n = 0; n < 40; ++n) {
    std::string bytes = original;
    std::string range(1 + dice.Below(24), '\0');
    for (char& c : range) c = dice.Byte();
    bytes.insert(dice.Below(size + 1), range);
    add(std::move(bytes), "inserted bytes #" + std::to_string(n));
  }
  // Lines that start hunks or nest them, put where they do not belong.
  static const char* const lines[] = {"=\r\n", "-\r\n", "3 SUBJECT\r\n", "2147483647 NESTHINT\r\n",
                                      "1 HYPERPNG\r\n", "\r\n", "5 LINK\r\n"};
  for (int n = 0; n < 30; ++n) {
    std::string bytes = original;
    std::size_t at = bytes.find('\n', dice.Below(size));
    at = at == std::string::npos ? bytes.size() : at + 1;
    bytes.insert(at, lines[dice.Below(std::size(lines))]);
    add(std::move(bytes), "inserted line #" + std::to_string(n));
  }

  static const char* const numbers[] = {"0",         "-1",          "-2147483648", "2147483647", "2147483648",
                                        "999999999", "-999999999",  "99999999999999999999", "1",          "3"};
  const auto found = NumbersOfTextPart(original);
  for (std::size_t k = 0; k < found.size(); ++k) {
    for (int r = 0; r < 2; ++r) {
      std::string bytes = original;
      const char* number = numbers[dice.Below(std::size(numbers))];
      bytes.replace(found[k].first, found[k].second, number);
      add(std::move(bytes), "number " + std::to_string(k) + " set to " + number);
    }
  }

  const std::size_t step = std::max<std::size_t>(1, size / 100);
  for (std::size_t cut = 0; cut < size; cut += step) add(original.substr(0, cut), "cut at " + std::to_string(cut));
  return mutants;
}

// Where a fresh checksum over the mutated bytes goes, so that damage in the
// text part reaches the tree instead of stopping at the checksum.
enum class TSeal {
  None,           // the raw mutant only (files without a checksum)
  FileEnd,        // appended at the end
  AfterEndOfText, // the two bytes after the first 0x1A
  Length,         // at the place that the LENGTH= line of the original names
};

std::string Sealed(std::string bytes, TSeal seal, std::size_t length) {
  const auto put = [&bytes](std::size_t at) {
    const std::uint16_t sum = HintChecksum(std::string_view(bytes).substr(0, at));
    bytes[at] = static_cast<char>(sum & 0xFF);
    bytes[at + 1] = static_cast<char>(sum >> 8);
  };
  switch (seal) {
    case TSeal::None:
      break;
    case TSeal::FileEnd:
      bytes += "cs";
      put(bytes.size() - 2);
      break;
    case TSeal::AfterEndOfText: {
      const std::size_t z = bytes.find('\x1a');
      if (z == std::string::npos) bytes += '\x1a';
      const std::size_t at = std::min(z, bytes.size() - 1) + 1;
      if (bytes.size() < at + 2) bytes.resize(at + 2);
      put(at);
      break;
    }
    case TSeal::Length:
      bytes.resize(length, '\0');
      put(length - 2);
      break;
  }
  return bytes;
}

struct TFixture {
  const char* Name;
  std::string Bytes;
  TSeal Seal;
  std::uint32_t Seed;
};

std::vector<TFixture> Fixtures() {
  TNewerOptions lf;
  lf.LineEnd = "\n";
  TNewerOptions length;
  length.LengthLine = true;
  TNewerOptions afterText;
  afterText.Place = THintFileWriter::TChecksumPlace::AfterEndOfText;
  return {{"88a only", OldestGeneration(), TSeal::None, 11},
          {"every hunk kind", EveryHunkKind({}), TSeal::FileEnd, 22},
          {"LF line ends", EveryHunkKind(lf), TSeal::FileEnd, 33},
          {"LENGTH line", EveryHunkKind(length), TSeal::Length, 44},
          {"checksum after the text", EveryHunkKind(afterText), TSeal::AfterEndOfText, 55}};
}

std::set<std::uint8_t> KindsOf(const TZEBObject& object) {
  std::set<std::uint8_t> kinds{object.KindCode()};
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&object))
    for (const TZEBObject* item : items->Items) kinds.merge(KindsOf(*item));
  return kinds;
}

}  // namespace

TEST(Robustness, FixturesLoadWithEveryKind) {
  for (const TFixture& fixture : Fixtures()) {
    SCOPED_TRACE(fixture.Name);
    TLoaded loaded;
    LoadBytes(fixture.Bytes, loaded);
    ASSERT_EQ(loaded.Code, LoadResult::Loaded);
    std::set<std::uint8_t> kinds;
    for (const auto& object : loaded.List) kinds.merge(KindsOf(*object));
    if (fixture.Bytes.find(EndOf88aMarker) == std::string::npos) {
      EXPECT_EQ(loaded.List.size(), 1u);
      EXPECT_EQ(kinds, (std::set<std::uint8_t>{Kind::Credit, Kind::Hint, Kind::Subject, Kind::Abstract}));
      continue;
    }
    for (std::uint8_t kind = 0; kind <= Kind::Abstract; ++kind) EXPECT_TRUE(kinds.count(kind)) << int(kind);
    TLoaded inlined;
    LoadBytes(fixture.Bytes, inlined, true);
    EXPECT_EQ(inlined.Code, LoadResult::Loaded);
  }
}

class RobustnessMutants : public testing::TestWithParam<std::size_t> {};

TEST_P(RobustnessMutants, GiveACodeAndALiveTree) {
  const TFixture fixture = Fixtures().at(GetParam());
  TTempDir dir;
  int loadedTrees = 0;
  int loads = 0;
  const std::vector<TMutant> mutants = Mutants(fixture.Bytes, fixture.Seed);
  for (std::size_t i = 0; i < mutants.size(); ++i) {
    const std::string what = std::string(fixture.Name) + ": " + mutants[i].What;
    const bool inlineImages = i % 3 == 0;
    loadedTrees += LoadAndWalk(dir, mutants[i].Bytes, inlineImages, what) == LoadResult::Loaded;
    ++loads;
    if (fixture.Seal != TSeal::None) {
      const std::string sealed = Sealed(mutants[i].Bytes, fixture.Seal, fixture.Bytes.size());
      loadedTrees += LoadAndWalk(dir, sealed, inlineImages, what + " (sealed)") == LoadResult::Loaded;
      ++loads;
    }
    if (HasFatalFailure()) return;
  }
  // The mutations must reach the tree, not only the checksum.
  EXPECT_GT(loadedTrees, loads / 4);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RobustnessMutants, testing::Range<std::size_t>(0, 5),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           std::string name = Fixtures().at(info.param).Name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
