// Loading a hint file into its top-level list: result codes, the 88a section,
// the newer section's list and line numbers, and damaged or hostile files.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "authoring/encoders.h"
#include "authoring/hintwriter.h"
#include "model/checksum.h"
#include "model/datahunks.h"
#include "model/displaydocument.h"
#include "model/hintreader.h"
#include "model/infohunk.h"
#include "model/loadcontext.h"
#include "model/loader.h"
#include "model/loadmessages.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "support/fixtures.h"
#include "support/treehelpers.h"

// ---- allocation watch ----------------------------------------------------
// The loader must turn a failed allocation into code 3, and must never ask
// for memory in proportion to a count it read from the file. Replacing the
// global allocator lets a test fail the n-th allocation of one load and see
// the largest single request. Outside a watch it is plain malloc.

namespace {
struct TAllocationWatch {
  bool Active = false;
  long FailAt = -1;  // the allocation (counted from 0) that throws; -1: none
  long Count = 0;
  bool Failed = false;
  std::size_t Largest = 0;
};
TAllocationWatch Watch;

// Watches the allocations of one scope.
class TWatchScope {
 public:
  explicit TWatchScope(long failAt = -1) {
    Watch = TAllocationWatch{};
    Watch.FailAt = failAt;
    Watch.Active = true;
  }
  ~TWatchScope() { Watch.Active = false; }
  TWatchScope(const TWatchScope&) = delete;
  TWatchScope& operator=(const TWatchScope&) = delete;
};
}  // namespace

void* operator new(std::size_t size) {
  if (Watch.Active) {
    if (size > Watch.Largest) Watch.Largest = size;
    if (Watch.FailAt >= 0 && Watch.Count++ == Watch.FailAt) {
      Watch.Failed = true;
      throw std::bad_alloc();
    }
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
// The compiler cannot see that these pair with the malloc above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

TItemsHunk* ItemsOf(TZEBObject* object) { return dynamic_cast<TItemsHunk*>(object); }
THunk* NodeOf(TZEBObject* object) { return dynamic_cast<THunk*>(object); }

// The tree as indented text: nodes with kind, title and line number; text
// lines quoted; hint separators as "---".
void Outline(const TZEBObject& object, int depth, std::string& out) {
  out += std::string(2 * depth, ' ');
  if (const auto* node = dynamic_cast<const THunk*>(&object)) {
    out += std::string(KindNames[node->KindCode()]) + " \"" + node->Text + "\" @" + std::to_string(node->LineNumber);
  } else if (object.IsRule && object.Text == "-" && object.EndsLine) {
    out += "---";
  } else {
    out += "\"" + object.Text + "\"";
  }
  out += "\n";
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&object))
    for (const TZEBObject* item : items->Items) Outline(*item, depth + 1, out);
}

std::string Outline(const TZEBObject& object) {
  std::string out;
  Outline(object, 0, out);
  return out;
}

// Nodes are owned by the node whose item they are; lines read from the file have no owner.
void ExpectOwners(const TItemsHunk& node) {
  for (const TZEBObject* item : node.Items) {
    if (item->IsNode()) {
      EXPECT_EQ(item->Owner, &node) << item->Text;
      if (const auto* items = dynamic_cast<const TItemsHunk*>(item)) ExpectOwners(*items);
    } else {
      EXPECT_EQ(item->Owner, nullptr) << item->Text;
    }
  }
}

// Follows the first item of the given kind downwards, without recursion.
int ChainLength(TZEBObject* start, std::uint8_t kind) {
  int length = 0;
  for (TZEBObject* at = start; at != nullptr;) {
    if (at->KindCode() == kind) ++length;
    TItemsHunk* items = ItemsOf(at);
    TZEBObject* next = nullptr;
    if (items != nullptr)
      for (TZEBObject* item : items->Items)
        if (item->IsNode()) {
          next = item;
          break;
        }
    at = next;
  }
  return length;
}

// The text part of an empty newer file up to the end marker, for hand-made files.
std::string HeadOfNewerFile() {
  THintFileWriter w;
  w.EndOfTextByte = false;
  w.Checksum = THintFileWriter::TChecksum::None;
  return w.Build();
}

// Ends a hand-made text part: the 0x1A and the checksum right after it.
std::string WithChecksumAfterEndOfText(std::string text) {
  text += '\x1a';
  const std::uint16_t sum = HintChecksum(text);
  text += static_cast<char>(sum & 0xFF);
  text += static_cast<char>(sum >> 8);
  return text;
}

THintFileWriter SmallNewerFile(const std::string& title88a = "Hints") {
  THintFileWriter w;
  w.Title88a = title88a;
  w.Subjects = {{"Subject", {{"Question", {"Hint"}}}}};
  w.NoteLines = {"A note."};
  w.Hunks = {Subject("Root", {Hint("Question", {"Answer"})})};
  return w;
}

}  // namespace

// ---- result codes ----------------------------------------------------------

TEST(LoaderResult, CodesAndWhatTheyLeaveInTheList) {
  TTempDir dir;
  THintFileWriter wrong = SmallNewerFile();
  wrong.Checksum = THintFileWriter::TChecksum::Wrong;
  struct TCase {
    const char* What;
    std::string Path;
    int Code;
  } cases[] = {
      {"a hint file", dir.Write("ok.zeb", SmallNewerFile("Fresh").Build()), LoadResult::Loaded},
      {"another first line", dir.Write("text.txt", "Hello\r\nWorld\r\n"), LoadResult::NotHintFile},
      {"an empty file", dir.Write("empty.zeb", ""), LoadResult::NotHintFile},
      {"a wrong checksum", dir.Write("wrong.zeb", wrong.Build()), LoadResult::BadChecksum},
      {"a ZIP archive", dir.Write("a.zip", std::string("PK\x03\x04\x0a\x00\x00\x00", 8) + "rest"),
       LoadResult::ZipArchive},
      {"a missing file", (dir.Path() / "missing.zeb").string(), LoadResult::CannotOpen},
      {"a folder", dir.Path().string(), LoadResult::CannotOpen},
  };
  for (const TCase& c : cases) {
    TObjectList list;
    list.push_back(std::make_unique<TMetaTextHunk>("Previous", nullptr, Kind::Subject));
    list.push_back(std::make_unique<TMetaTextHunk>("Previous root", nullptr, Kind::Subject));
    const TZEBObject* previous = list[0].get();
    const TLoadResult result = LoadHintFile(c.Path, list, false);
    EXPECT_EQ(result.Code, c.Code) << c.What;
    // The result carries the reader's message, naming the file by its path.
    EXPECT_EQ(result.Message, LoadErrorMessage(c.Code, c.Path)) << c.What;
    EXPECT_EQ(result.Message.empty(), c.Code == LoadResult::Loaded) << c.What;
    if (c.Code == LoadResult::CannotOpen) {
      EXPECT_EQ(result.Message.rfind(c.Path, 0), 0u) << c.What;
      // Nothing changed.
      ASSERT_EQ(list.size(), 2u) << c.What;
      EXPECT_EQ(list[0].get(), previous) << c.What;
      EXPECT_EQ(list[0]->Text, "Previous") << c.What;
    } else if (c.Code == LoadResult::Loaded) {
      ASSERT_GE(list.size(), 2u) << c.What;
      EXPECT_EQ(list[0]->Text, "Fresh") << c.What;
      EXPECT_EQ(list[1]->Text, "Root") << c.What;
    } else {
      EXPECT_TRUE(list.empty()) << c.What;
    }
    ClearList(list);
  }
}

TEST(LoaderResult, FailedAllocationAnywhereGivesCode3AndAnEmptyList) {
  THintFileWriter w;
  w.Subjects = {{"Subject", {{"Question", {"Hint one", "Hint two"}}}}};
  w.NoteLines = {"A note #p-with#p+ markup."};
  auto question = Hint("Question", {"First", "-", "Second"});
  w.Hunks = {
      Subject("Root", {question, NestHint("Nested", {"Line", Hint("Inner", {"x"}), "-", "More"}),
                       w.Text("Notes", 3, {"Text data", "More data"}),
                       w.HyperPng("Picture", TinyPng(2, 2), {{0, 0, 1, 1, Link("To question", question)}}),
                       w.Gifa("Animation", "gif")}),
      PlainHunk("VERSION", "96a", {"compiler"}),
      PlainHunk("INFO", "Credits", {"AUTHOR=Someone", "COPYRIGHT=1999"}),
      Incentive("Incentive", {{{nullptr, 999, 'Y'}}}),
  };
  TTempDir dir;
  const std::string path = dir.Write("alloc.zeb", w.Build());

  // Allocation n fails, for n = 0, 1, 2, ... until a load needs fewer.
  std::vector<long> escaped, wrongCode, listLeft;
  bool completed = false;
  for (long n = 0; n < 100000 && !completed; ++n) {
    TObjectList list;
    list.push_back(std::make_unique<TMetaTextHunk>("Previous", nullptr, Kind::Subject));
    int code = -1;
    bool thrown = false;
    bool failed = false;
    {
      TWatchScope scope(n);
      try {
        code = LoadHintFile(path, list, false).Code;
      } catch (...) {
        thrown = true;
      }
      failed = Watch.Failed;
    }
    if (!failed) {
      EXPECT_EQ(code, LoadResult::Loaded) << "a load without failed allocations";
      completed = true;
    } else {
      if (thrown) escaped.push_back(n);
      if (!thrown && code != LoadResult::OutOfMemory) wrongCode.push_back(n);
      if (!list.empty()) listLeft.push_back(n);
    }
    ClearList(list);
  }
  const auto show = [](const std::vector<long>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size() && i < 20; ++i) text += " " + std::to_string(numbers[i]);
    return text + (numbers.size() > 20 ? " ..." : "");
  };
  EXPECT_TRUE(completed);
  EXPECT_TRUE(escaped.empty()) << "the exception left the loader when these allocations failed:" << show(escaped);
  EXPECT_TRUE(wrongCode.empty()) << "code other than 3 when these allocations failed:" << show(wrongCode);
  EXPECT_TRUE(listLeft.empty()) << "objects left in the list when these allocations failed:" << show(listLeft);
}

// ---- the 88a section ---------------------------------------------------------

namespace {
// The body of the example: first-hint 9, last-hint 12, two subjects, two questions.
THintFileWriter ExampleBody() {
  THintFileWriter w;
  w.Title88a = "Game Hints";
  w.Raw88aNumbers = "9 12";
  w.Raw88aBody = {Encode88a("First subject"),   "5", Encode88a("Second subject"),  "7",
                  Encode88a("First question"),  "9", Encode88a("Second question"), "11",
                  Encode88a("Hint one"),        Encode88a("Hint two"),             Encode88a("Hint three"),
                  Encode88a("Hint four")};
  w.NoteLines = {"Written by a fan.", "Second line"};
  return w;
}
}  // namespace

TEST(Loader88a, BodyExampleBuildsSubjectsQuestionsHintsAndNote) {
  THintFileWriter w = ExampleBody();
  w.Hunks = {Subject("Root", {Hint("Q", {"A"})})};
  auto loaded = LoadFile(w.Build());
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  ASSERT_GE(loaded->List.size(), 2u);
  const auto* top = ItemsOf(loaded->List[0].get());
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Owner, nullptr);
  EXPECT_EQ(Outline(*top),
            "SUBJECT \"Game Hints\" @0\n"
            "  SUBJECT \"First subject\" @1\n"
            "    HINT \"First question?\" @5\n"
            "      \"Hint one\"\n"
            "      ---\n"
            "      \"Hint two\"\n"
            "  SUBJECT \"Second subject\" @3\n"
            "    HINT \"Second question?\" @7\n"
            "      \"Hint three\"\n"
            "      ---\n"
            "      \"Hint four\"\n"
            "  CREDIT \"A note from the author\" @13\n"
            "    \"Written by a fan.\"\n"
            "    \"Second line\"\n");
  ExpectOwners(*top);
}

TEST(Loader88a, NoteNodeOnlyWhenTheNoteHasLines) {
  struct TCase {
    const char* What;
    std::vector<std::string> Note;
    bool EndMarker;
    bool Credit;
  } cases[] = {
      {"note and end marker", {"note"}, true, true},
      {"end marker right after the last hint", {}, true, false},
      {"oldest generation with a note", {"note", "more"}, false, true},
      {"oldest generation ending with the last hint", {}, false, false},
      {"only empty note lines", {"", ""}, true, false},  // empty lines add no items
  };
  for (const TCase& c : cases) {
    THintFileWriter w = ExampleBody();
    w.NoteLines = c.Note;
    w.EndMarker = c.EndMarker;
    auto loaded = LoadFile(w.Build());
    ASSERT_EQ(loaded->Code, LoadResult::Loaded) << c.What;
    ASSERT_FALSE(loaded->List.empty()) << c.What;
    const auto* top = ItemsOf(loaded->List[0].get());
    ASSERT_EQ(top->ItemCount(), c.Credit ? 3u : 2u) << c.What;
    if (c.Credit) {
      const auto* note = dynamic_cast<const TMetaTextHunk*>(top->ItemAt(2));
      ASSERT_NE(note, nullptr) << c.What;
      EXPECT_EQ(note->KindCode(), Kind::Credit) << c.What;
      EXPECT_EQ(note->LineNumber, 13) << c.What;
      EXPECT_EQ(note->ItemCount(), c.Note.size()) << c.What;
    }
    if (!c.EndMarker) {
      EXPECT_EQ(loaded->List.size(), 1u) << c.What;
    }
  }
}

TEST(Loader88a, OldestGenerationIsOneObjectAndNeverChecked) {
  THintFileWriter w = ExampleBody();
  w.EndMarker = false;
  // Bytes after a 0x1A that no checksum covers.
  auto loaded = LoadFile(w.Build() + "\x1a\x01\x02garbage");
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  ASSERT_EQ(loaded->List.size(), 1u);
  EXPECT_EQ(ListRoot(loaded->List), loaded->List[0].get());
  EXPECT_EQ(FindByKind(loaded->List, Kind::Info), nullptr);
  EXPECT_EQ(loaded->List[0]->Text, "Game Hints");
}

TEST(Loader88a, DamagedBodiesStopWithWhatWasRead) {
  const auto hints = [](int from, int to) {
    std::vector<std::string> lines;
    for (int i = from; i <= to; ++i) lines.push_back(Encode88a("Hint " + std::to_string(i)));
    return lines;
  };
  struct TCase {
    const char* What;
    std::string Numbers;
    std::function<std::vector<std::string>()> Body;
    std::function<void(const TItemsHunk& top)> Check;
    bool TextEndsInBody = false;
  } cases[] = {
      {"a target of 1000", "5 6",
       [] { return std::vector<std::string>{Encode88a("Good"), "5", Encode88a("Bad"), "1000", Encode88a("h5"), Encode88a("h6")}; },
       [](const TItemsHunk& top) {
         ASSERT_EQ(top.ItemCount(), 1u);
         EXPECT_EQ(top.ItemAt(0)->Text, "Good");
         EXPECT_EQ(Outline(top).find("Bad"), std::string::npos);
       }},
      {"a negative target", "5 6",
       [] { return std::vector<std::string>{Encode88a("Good"), "5", Encode88a("Bad"), "-3", Encode88a("h5"), Encode88a("h6")}; },
       [](const TItemsHunk& top) {
         ASSERT_EQ(top.ItemCount(), 1u);
         EXPECT_EQ(Outline(top).find("Bad"), std::string::npos);
       }},
      {"hint lines past index 999", "3 1200",
       [&] {
         std::vector<std::string> body = {Encode88a("Question"), "3"};
         for (const std::string& line : hints(3, 1200)) body.push_back(line);
         return body;
       },
       [](const TItemsHunk& top) {
         ASSERT_EQ(top.ItemCount(), 1u);
         const auto* question = ItemsOf(top.ItemAt(0));
         ASSERT_NE(question, nullptr);
         // Hints 3 to 999 were read; index 1000 is where reading stopped.
         std::vector<std::string> texts;
         for (const TZEBObject* item : question->Items)
           if (!item->IsRule) texts.push_back(item->Text);
         ASSERT_EQ(texts.size(), 997u);
         EXPECT_EQ(texts.front(), "Hint 3");
         EXPECT_EQ(texts.back(), "Hint 999");
       }},
      {"entries past index 999", "1001 1002",
       [&] {
         std::vector<std::string> body;
         for (int g = 1; g <= 1001; g += 2) {
           body.push_back(Encode88a("E" + std::to_string(g)));
           body.push_back(std::to_string(g));  // each entry under the one before
         }
         for (const std::string& line : hints(1001, 1002)) body.push_back(line);
         return body;
       },
       [](const TItemsHunk& top) {
         EXPECT_EQ(ChainLength(const_cast<TItemsHunk*>(&top), Kind::Hint), 500);
         EXPECT_EQ(Outline(top).find("E1001"), std::string::npos);
       }},
      {"the body ends before its last hint line", "9 12",
       [] {
         std::vector<std::string> body = ExampleBody().Raw88aBody;
         body.resize(9);  // only the first hint line
         return body;
       },
       [](const TItemsHunk& top) {
         ASSERT_EQ(top.ItemCount(), 2u);
         const auto* question = ItemsOf(ItemsOf(top.ItemAt(0))->ItemAt(0));
         ASSERT_NE(question, nullptr);
         ASSERT_GE(question->ItemCount(), 1u);
         EXPECT_EQ(question->ItemAt(0)->Text, "Hint one");
       },
       true},
      {"first-hint and last-hint at the largest number", "2147483647 2147483647",
       [] { return std::vector<std::string>{Encode88a("A"), "5", Encode88a("B"), "7"}; },
       [](const TItemsHunk& top) { EXPECT_EQ(top.ItemCount(), 2u); }},
      {"no numbers on line 3", "nine twelve", [] { return ExampleBody().Raw88aBody; },
       [](const TItemsHunk& top) { EXPECT_EQ(top.ItemCount(), 0u); }},
  };
  for (const TCase& c : cases) {
    THintFileWriter w;
    w.Title88a = "Damaged";
    w.Raw88aNumbers = c.Numbers;
    w.Raw88aBody = c.Body();
    if (c.TextEndsInBody) {
      w.EndMarker = false;
    } else {
      w.NoteLines = {"note"};
      w.Hunks = {Subject("Root", {Hint("Q", {"A"})})};
    }
    auto loaded = LoadFile(w.Build());
    SCOPED_TRACE(c.What);
    ASSERT_EQ(loaded->Code, LoadResult::Loaded);
    ASSERT_FALSE(loaded->List.empty());
    const auto* top = ItemsOf(loaded->List[0].get());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->Text, "Damaged");
    c.Check(*top);
  }
}

// ---- the newer section -------------------------------------------------------

TEST(LoaderNewer, TopLevelListHoldsThe88aNodeTheRootAndLaterHunks) {
  THintFileWriter w = SmallNewerFile();
  w.Hunks = {Subject("Root", {Hint("Question", {"Answer"})}), PlainHunk("VERSION", "96a", {"compiler"}),
             PlainHunk("COMMENT", "Later", {"c"}), PlainHunk("INFO", "Credits", {"AUTHOR=Jo"}),
             Subject("Second", {})};
  auto loaded = LoadFile(w.Build());
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  const TObjectList& list = loaded->List;
  ASSERT_EQ(list.size(), 6u);
  const std::uint8_t kinds[] = {Kind::Subject, Kind::Subject, Kind::VerHunk, Kind::Comment, Kind::Info, Kind::Subject};
  for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i]->KindCode(), kinds[i]) << "object " << i;
  EXPECT_EQ(list[0]->Text, "Hints");
  EXPECT_EQ(list[1]->Text, "Root");
  EXPECT_EQ(list[5]->Text, "Second");
  EXPECT_EQ(ListRoot(list), list[1].get());
  EXPECT_EQ(list[0]->Owner, nullptr);
  EXPECT_EQ(list[1]->Owner, nullptr);
  for (std::size_t i = 2; i < list.size(); ++i) EXPECT_EQ(list[i]->Owner, list[1].get()) << "object " << i;
  // Later top-level hunks hang off the root without being its items.
  EXPECT_EQ(ItemsOf(list[1].get())->ItemCount(), 1u);
  EXPECT_EQ(FindByKind(list, Kind::Info), list[4].get());
  EXPECT_EQ(FindByKind(list, Kind::VerHunk), list[2].get());
}

TEST(LoaderNewer, DefaultInfoNodeWhenTheFileHasNone) {
  THintFileWriter w = SmallNewerFile();
  w.Hunks.push_back(PlainHunk("COMMENT", "Later", {"c"}));
  auto loaded = LoadFile(w.Build());
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  const TObjectList& list = loaded->List;
  ASSERT_EQ(list.size(), 4u);
  auto* info = dynamic_cast<TInfoHunk*>(list.back().get());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(FindByKind(list, Kind::Info), info);
  EXPECT_EQ(info->Owner, list[1].get());
  EXPECT_EQ(info->FileLength, 0);
  EXPECT_EQ(info->Text, "Root File Information");
}

TEST(LoaderNewer, LineNumbersAndCountsOfNestedHunks) {
  THintFileWriter w = SmallNewerFile();
  auto q1 = Hint("Q1", {"a", "-", "b"});
  auto inner = Hint("Inner", {"y"});
  auto nested = NestHint("N", {"x", inner, "z"});
  auto a = Subject("A", {q1, nested});
  auto link = Link("L", q1);
  auto blank = PlainHunk("BLANK", "", {"ignored"});
  auto unknown = PlainHunk("MYSTERY", "M", {"1", "2"});
  auto root = Subject("Root", {a, link, blank, unknown});
  auto later = PlainHunk("COMMENT", "Later", {"c"});
  w.Hunks = {root, later};
  auto loaded = LoadFile(w.Build());
  ASSERT_EQ(loaded->Code, LoadResult::Loaded);
  ASSERT_EQ(loaded->List.size(), 4u);
  auto* loadedRoot = NewerRoot(*loaded);
  ASSERT_NE(loadedRoot, nullptr);

  // Header line numbers in the newer section, counted by hand:
  // Root 1-27, A 3-17, Q1 5-9, N 10-17 ("=" on 13), Inner 14-16, L 18-20,
  // the blank 21-23, M 24-27, Later 28-30.
  struct TExpected {
    std::string Title;
    std::uint8_t Kind;
    std::int32_t Line;
    std::int32_t Count;
  } expected[] = {
      {"Root", Kind::Subject, 1, 27}, {"A", Kind::Subject, 3, 15}, {"Q1", Kind::Hint, 5, 5},
      {"N", Kind::NestHint, 10, 8},   {"Inner", Kind::Hint, 14, 3}, {"L", Kind::Link, 18, 3},
      {"", Kind::Blank, 21, 3},       {"M", Kind::Unknown, 24, 4},
  };
  for (const TExpected& e : expected) {
    THunk* node = loadedRoot->FindByTitle(e.Title);
    ASSERT_NE(node, nullptr) << e.Title;
    EXPECT_EQ(node->KindCode(), e.Kind) << e.Title;
    EXPECT_EQ(node->LineNumber, e.Line) << e.Title;
    EXPECT_EQ(node->LineCount, e.Count) << e.Title;
  }
  // The writer numbers its hunks the same way.
  EXPECT_EQ(q1->LineNumber, 5);
  EXPECT_EQ(inner->LineNumber, 14);
  const auto* loadedLater = NodeOf(loaded->List[2].get());
  EXPECT_EQ(loadedLater->Text, "Later");
  EXPECT_EQ(loadedLater->LineNumber, 28);
  EXPECT_EQ(loadedLater->LineCount, 3);
  // The link names Q1 by its line number.
  auto* loadedLink = dynamic_cast<TLinkHunk*>(loadedRoot->FindByTitle("L"));
  ASSERT_NE(loadedLink, nullptr);
  EXPECT_EQ(loadedLink->Target(), loadedRoot->FindByTitle("Q1"));
  // The nested hint stands among the hint lines, at the place of its "=" line.
  EXPECT_EQ(Outline(*loadedRoot->FindByTitle("N")),
            "NESTHINT \"N\" @10\n"
            "  \"x\"\n"
            "  HINT \"Inner\" @14\n"
            "    \"y\"\n"
            "  \"z\"\n");
  ExpectOwners(*loadedRoot);
}

TEST(LoaderNewer, InlineImagesFlagMakesPicturesOfHyperPngHunks) {
  THintFileWriter w = SmallNewerFile();
  const std::string png = TinyPng(3, 2);
  auto picture = w.HyperPng("Picture", png, {{0, 0, 2, 1, Hint("Region hint", {"r"})}});
  auto after = PlainHunk("COMMENT", "After", {"x"});
  w.Hunks = {Subject("Root", {picture, after})};
  const std::string file = w.Build();

  {
    auto loaded = LoadFile(file, false);
    ASSERT_EQ(loaded->Code, LoadResult::Loaded);
    TItemsHunk* root = NewerRoot(*loaded);
    ASSERT_EQ(root->ItemCount(), 2u);
    auto* hyper = dynamic_cast<THyperPNGHunk*>(root->ItemAt(0));
    ASSERT_NE(hyper, nullptr);
    EXPECT_EQ(hyper->KindCode(), Kind::HyperPng);
    EXPECT_EQ(hyper->Text, "Picture");
    EXPECT_EQ(hyper->LineNumber, picture->LineNumber);
    EXPECT_EQ(hyper->LineCount, picture->Lines());
    TPNGObject* image = hyper->Image();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Text, "");
    EXPECT_EQ(image->Owner, hyper);
    EXPECT_EQ(image->LineNumber, picture->LineNumber + 1);  // the title line
    EXPECT_EQ(image->LineCount, 0);
    EXPECT_EQ(image->DataLength, static_cast<std::int32_t>(png.size()));
    ASSERT_EQ(image->Regions.size(), 1u);
    EXPECT_EQ(image->Regions[0].Target->Text, "Region hint");
    EXPECT_EQ(image->Regions[0].Target->Owner, image);
    EXPECT_EQ(NodeOf(root->ItemAt(1))->LineNumber, after->LineNumber);
  }
  {
    auto loaded = LoadFile(file, true);
    ASSERT_EQ(loaded->Code, LoadResult::Loaded);
    TItemsHunk* root = NewerRoot(*loaded);
    ASSERT_EQ(root->ItemCount(), 2u);
    auto* image = dynamic_cast<TPNGObject*>(root->ItemAt(0));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->KindCode(), Kind::PngObject);
    EXPECT_EQ(image->Text, "Picture");
    EXPECT_EQ(image->Owner, root);
    EXPECT_EQ(image->LineNumber, picture->LineNumber);
    EXPECT_EQ(image->LineCount, picture->Lines());
    EXPECT_EQ(image->DataLength, static_cast<std::int32_t>(png.size()));
    ASSERT_EQ(image->Regions.size(), 1u);
    EXPECT_EQ(image->Regions[0].Target->Text, "Region hint");
    EXPECT_EQ(NodeOf(root->ItemAt(1))->LineNumber, after->LineNumber);
  }
}

TEST(LoaderNewer, SectionWithoutHunksKeepsOnlyThe88aNode) {
  THintFileWriter empty = SmallNewerFile();
  empty.Hunks.clear();
  const std::string blankLines = WithChecksumAfterEndOfText(HeadOfNewerFile() + "\r\n  \r\n\r\n");
  for (const std::string& file : {empty.Build(), blankLines}) {
    auto loaded = LoadFile(file);
    EXPECT_EQ(loaded->Code, LoadResult::Loaded);
    ASSERT_EQ(loaded->List.size(), 1u);
    EXPECT_EQ(ListRoot(loaded->List), loaded->List[0].get());
  }
}

// ---- damaged and hostile newer sections ---------------------------------------

TEST(LoaderHostile, BodyRunningPastTheEndOfTheText) {
  struct TCase {
    const char* What;
    std::function<void(THintFileWriter&)> Damage;
    int Code;
    const char* RootOutline;
  } cases[] = {
      {"SUBJECT count too large",
       [](THintFileWriter& w) { w.Hunks.front()->CountOverride = 200; }, LoadResult::Loaded,
       "SUBJECT \"Root\" @1\n  HINT \"Q\" @3\n    \"A\"\n  HINT \"R\" @6\n    \"B\"\n    ---\n    \"C\"\n"},
      {"SUBJECT count too large, wrong checksum",
       [](THintFileWriter& w) {
         w.Hunks.front()->CountOverride = 200;
         w.Checksum = THintFileWriter::TChecksum::Wrong;
       },
       LoadResult::BadChecksum, ""},
      {"text cut after the title of the last HINT",
       [](THintFileWriter& w) {
         const std::string whole = w.Build();
         w.TextLimit = whole.find("\r\nR\r\n") + 5;
       },
       LoadResult::Loaded, "SUBJECT \"Root\" @1\n  HINT \"Q\" @3\n    \"A\"\n  HINT \"R\" @6\n"},
      {"text cut inside a header",
       [](THintFileWriter& w) {
         const std::string whole = w.Build();
         w.TextLimit = whole.find("\r\nR\r\n") - 5;  // after the count of "5 HINT"
       },
       LoadResult::Loaded, "SUBJECT \"Root\" @1\n  HINT \"Q\" @3\n    \"A\"\n"},
      {"NESTHINT whose last \"=\" has no hunk after it",
       [](THintFileWriter& w) {
         auto nest = NestHint("N", {"x"});
         nest->Plain("=");
         nest->CountOverride = 50;
         w.Hunks = {Subject("Root", {nest})};
       },
       LoadResult::Loaded, "SUBJECT \"Root\" @1\n  NESTHINT \"N\" @3\n    \"x\"\n"},
  };
  for (const TCase& c : cases) {
    THintFileWriter w = SmallNewerFile();
    w.Hunks = {Subject("Root", {Hint("Q", {"A"}), Hint("R", {"B", "-", "C"})})};
    c.Damage(w);
    auto loaded = LoadFile(w.Build());
    SCOPED_TRACE(c.What);
    ASSERT_EQ(loaded->Code, c.Code);
    if (c.Code != LoadResult::Loaded) {
      EXPECT_TRUE(loaded->List.empty());
      continue;
    }
    TItemsHunk* root = NewerRoot(*loaded);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Outline(*root), c.RootOutline);
    // Only the 88a node, the root and the default INFO node.
    EXPECT_EQ(loaded->List.size(), 3u);
  }
}

namespace {
// Loads bytes written to a temporary file, keeping the whole result.
TLoadResult LoadWhole(const std::string& bytes, TObjectList& list, bool inlineImages = false) {
  TTempDir dir;
  return LoadHintFile(dir.Write("file.zeb", bytes), list, inlineImages);
}

// A root SUBJECT with subjects nested `levels` deep below it, the deepest
// holding a HINT: every count right, the checksum right.
std::string NestedFile(int levels) {
  std::string text = HeadOfNewerFile();
  for (int depth = 0; depth < levels; ++depth)
    text += std::to_string(3 + 2 * (levels - depth)) + " SUBJECT\r\nLevel " + std::to_string(depth) + "\r\n";
  text += "3 HINT\r\nDeepest question\r\n" + Encode88a("Deepest answer") + "\r\n";
  return WithChecksumAfterEndOfText(text);
}
}  // namespace

// The tree is walked by recursion (display, search, outline, web page,
// destructors): a file nested deeper than 255 levels below its root does
// not load, and says why, instead of loading with its depths cut off.
TEST(LoaderHostile, NestingDeeperThan255LevelsIsADamagedFile) {
  {
    TObjectList list;
    const TLoadResult result = LoadWhole(NestedFile(255), list);
    ASSERT_EQ(result.Code, LoadResult::Loaded);
    std::ostringstream text;
    DecodeToText(*ListRootNode(list), text);
    EXPECT_NE(text.str().find("Deepest answer"), std::string::npos);
    ClearList(list);
  }
  const std::string message =
      "The hint file you have tried to open is damaged: its hints are nested more than 255 levels deep.";
  for (const int levels : {256, 10000}) {
    TObjectList list;
    const TLoadResult result = LoadWhole(NestedFile(levels), list);
    SCOPED_TRACE(levels);
    EXPECT_EQ(result.Code, LoadResult::BadChecksum);
    EXPECT_EQ(result.Damage, TDamage::NestedTooDeep);
    EXPECT_EQ(result.Message, message);
    EXPECT_TRUE(list.empty());
  }
  // Every way of nesting, far deeper than any stack would take.
  constexpr int Levels = 100000;
  struct TCase {
    const char* What;
    std::string Level;  // one level of nesting: the start of a hunk that holds the next
    bool InlineImages;
  } cases[] = {
      {"SUBJECT in SUBJECT", "3 SUBJECT\r\nS\r\n", false},
      {"NESTHINT after \"=\"", "4 NESTHINT\r\nN\r\n=\r\n", false},
      {"HYPERPNG regions", "5 HYPERPNG\r\nP\r\n0 0 0\r\n0 0 1 1\r\n", false},
      {"inline pictures", "5 HYPERPNG\r\nP\r\n0 0 0\r\n0 0 1 1\r\n", true},
  };
  for (const TCase& c : cases) {
    std::string text = HeadOfNewerFile();
    text.reserve(text.size() + c.Level.size() * Levels);
    for (int i = 0; i < Levels; ++i) text += c.Level;
    TObjectList list;
    const TLoadResult result = LoadWhole(WithChecksumAfterEndOfText(text), list, c.InlineImages);
    SCOPED_TRACE(c.What);
    EXPECT_EQ(result.Code, LoadResult::BadChecksum);
    EXPECT_EQ(result.Message, message);
    EXPECT_TRUE(list.empty());
  }
}

// A line longer than a line may be makes the file damaged wherever it
// stands, and says so; the longest allowed lines load. Only the first line
// is judged as before: it is no hint file (or a ZIP archive).
TEST(LoaderHostile, ALineLongerThan10239CharactersIsADamagedFile) {
  const std::string message =
      "The hint file you have tried to open is damaged: a line of its text is longer than 10,239 characters.";
  struct TCase {
    const char* What;
    std::function<void(THintFileWriter&, const std::string&)> Put;
  } cases[] = {
      {"the 88a title", [](THintFileWriter& w, const std::string& line) { w.Title88a = line; }},
      {"an 88a hint", [](THintFileWriter& w, const std::string& line) { w.Subjects[0].Questions[0].Hints = {line}; }},
      {"the author's note", [](THintFileWriter& w, const std::string& line) { w.NoteLines = {line}; }},
      {"a hunk title", [](THintFileWriter& w, const std::string& line) { w.Hunks = {Subject("Root", {Hint(line, {"a"})})}; }},
      {"a hint line", [](THintFileWriter& w, const std::string& line) { w.Hunks = {Subject("Root", {Hint("Q", {line})})}; }},
      {"a comment line",
       [](THintFileWriter& w, const std::string& line) { w.Hunks = {Subject("Root", {PlainHunk("COMMENT", "C", {line})})}; }},
      {"TEXT data", [](THintFileWriter& w, const std::string& line) { w.Hunks = {Subject("Root", {w.Text("T", 0, {line})})}; }},
  };
  for (const TCase& c : cases) {
    for (const std::size_t length : {THintReader::MaxLine, THintReader::MaxLine + 1}) {
      SCOPED_TRACE(std::string(c.What) + ", " + std::to_string(length) + " characters");
      THintFileWriter w = SmallNewerFile();
      c.Put(w, std::string(length, 'w'));
      TObjectList list;
      const TLoadResult result = LoadWhole(w.Build(), list);
      if (length == THintReader::MaxLine) {
        EXPECT_EQ(result.Code, LoadResult::Loaded);
      } else {
        EXPECT_EQ(result.Code, LoadResult::BadChecksum);
        EXPECT_EQ(result.Damage, TDamage::LineTooLong);
        EXPECT_EQ(result.Message, message);
        EXPECT_TRUE(list.empty());
      }
      ClearList(list);
    }
  }
  // Blanks where a hunk header's count is expected.
  {
    TObjectList list;
    const TLoadResult result =
        LoadWhole(WithChecksumAfterEndOfText(HeadOfNewerFile() + std::string(20000, ' ') + "3 HINT\r\nQ\r\nA\r\n"), list);
    EXPECT_EQ(result.Code, LoadResult::BadChecksum);
    EXPECT_EQ(result.Message, message);
  }
  // The first line.
  for (const auto& [bytes, code] : {std::pair{std::string(20000, 'Z'), LoadResult::NotHintFile},
                                    std::pair{"PK\x03\x04" + std::string(20000, '\0'), LoadResult::ZipArchive}}) {
    TObjectList list;
    EXPECT_EQ(LoadWhole(bytes, list).Code, code);
  }
}

// A large file (its checksum taken on a second thread) that is damaged by a
// long line near its start, before gigabytes of nothing: the load ends at
// once, and the checksum thread with it.
TEST(LoaderHostile, ALongLineEndsALargeLoadAtOnce) {
  TTempDir dir;
  const std::string path = (dir.Path() / "huge.zeb").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << HeadOfNewerFile() << "5 SUBJECT\r\nRoot\r\n3 HINT\r\nQ\r\n";
  }
  std::filesystem::resize_file(path, std::uintmax_t{16} << 30);
  const auto start = std::chrono::steady_clock::now();
  TObjectList list;
  const TLoadResult result = LoadHintFile(path, list, false);
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(result.Code, LoadResult::BadChecksum);
  EXPECT_EQ(result.Damage, TDamage::LineTooLong);
  // Reading 16 GB, even of a hole, takes far longer.
  EXPECT_LT(seconds, 3.0);
}

TEST(LoaderHostile, CountsAndDataFieldsFromTheFileAreNotTrusted) {
  struct TCase {
    const char* What;
    std::function<TWHunkPtr(THintFileWriter&)> Make;
  };
  const std::vector<TCase> probes = {
      {"SUBJECT", [](THintFileWriter&) { return Subject("P", {Hint("Q", {"a"})}); }},
      {"HINT", [](THintFileWriter&) { return Hint("P", {"a", "-", "b"}); }},
      {"NESTHINT", [](THintFileWriter&) { return NestHint("P", {"a", Hint("I", {"i"}), "b"}); }},
      {"COMMENT", [](THintFileWriter&) { return PlainHunk("COMMENT", "P", {"a"}); }},
      {"unknown keyword", [](THintFileWriter&) { return PlainHunk("MYSTERY", "P", {"a"}); }},
      {"BLANK", [](THintFileWriter&) { return PlainHunk("BLANK", "P", {"a"}); }},
      {"INFO", [](THintFileWriter&) { return PlainHunk("INFO", "P", {"AUTHOR=x"}); }},
      {"INCENTIVE", [](THintFileWriter&) { return Incentive("P", {{{nullptr, 999, 'Y'}}}); }},
      {"LINK", [](THintFileWriter&) { return LinkToLine("P", 1); }},
      {"GIFA", [](THintFileWriter& w) { return w.Gifa("P", "gg"); }},
      {"TEXT", [](THintFileWriter& w) { return w.Text("P", 0, {"t"}); }},
      {"HYPERPNG", [](THintFileWriter& w) { return w.HyperPng("P", TinyPng(1, 1), {{0, 0, 1, 1, Hint("R", {"r"})}}); }},
  };
  constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

  std::vector<std::pair<std::string, std::function<void(THintFileWriter&)>>> files;
  for (const TCase& probe : probes) {
    for (const std::int32_t count : {Max, Min, -1, 0, 1}) {
      for (const bool asRoot : {false, true}) {
        files.emplace_back(std::string(probe.What) + " count " + std::to_string(count) + (asRoot ? " as root" : ""),
                           [&probe, count, asRoot](THintFileWriter& w) {
                             TWHunkPtr hunk = probe.Make(w);
                             hunk->CountOverride = count;
                             w.Hunks = {asRoot ? hunk : Subject("Root", {hunk, Hint("After", {"z"})}),
                                        PlainHunk("COMMENT", "Later", {"c"})};
                           });
      }
    }
  }
  // A count beyond 32 bits, written through the separator.
  files.emplace_back("count beyond 32 bits", [](THintFileWriter& w) {
    auto hunk = Subject("P", {Hint("Q", {"a"})});
    hunk->CountOverride = 9;
    hunk->Separator = "9999999999 ";
    w.Hunks = {Subject("Root", {hunk})};
  });
  // Offsets and lengths of embedded data that the file does not hold.
  for (const char* line3 : {"0 2147483647 2147483647", "0 -2147483648 2147483647", "0 100 -200", "0 0 2147483647",
                            "-1 -1 -1"}) {
    for (const char* keyword : {"GIFA", "SOUND", "HYPERPNG", "OVERLAY"}) {
      files.emplace_back(std::string(keyword) + " " + line3, [keyword, line3](THintFileWriter& w) {
        auto hunk = MakeHunk(keyword, "P");
        hunk->Plain(std::string(line3) + (std::string(keyword) == "OVERLAY" ? " 5 5" : ""));
        w.Hunks = {Subject("Root", {hunk, Hint("After", {"z"})})};
      });
    }
  }
  for (const char* line3 : {"0 3 2147483647 2147483647", "0 0 0 2147483647", "0 0 -5 -5", "0 0 2147483647 -1"}) {
    files.emplace_back(std::string("TEXT ") + line3, [line3](THintFileWriter& w) {
      w.AddTextBlob({"some text data", "and more"});
      auto hunk = MakeHunk("TEXT", "P");
      hunk->Plain(line3);
      w.Hunks = {Subject("Root", {hunk, Hint("After", {"z"})})};
    });
  }

  TTempDir dir;
  for (const auto& [what, make] : files) {
    THintFileWriter w = SmallNewerFile();
    make(w);
    const std::string bytes = w.Build();
    const std::string path = dir.Write("hostile.zeb", bytes);
    TObjectList list;
    int code = -1;
    std::size_t largest = 0;
    {
      TWatchScope scope;
      code = LoadHintFile(path, list, false).Code;
      largest = Watch.Largest;
    }
    SCOPED_TRACE(what);
    // The checksum is right, so what was read is loaded.
    EXPECT_EQ(code, LoadResult::Loaded);
    EXPECT_GE(list.size(), 2u);
    // No request in proportion to a number read from the file.
    EXPECT_LT(largest, std::size_t{1} << 20);
    ClearList(list);
  }
}
