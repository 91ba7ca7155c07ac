// Hunks without hint text of their own: pictures with hot regions, overlays,
// embedded data (GIFA, SOUND), links and blank entries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/hintwriter.h"
#include "model/datahunks.h"
#include "model/loader.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "support/fixtures.h"
#include "support/treehelpers.h"

namespace {

// The embedded bytes a node points at lie in the file where it says.
void ExpectDataAt(const std::string& file, std::int32_t offset, std::int32_t length, const std::string& data) {
  EXPECT_EQ(length, static_cast<std::int32_t>(data.size()));
  ASSERT_GE(offset, 0);
  ASSERT_LE(static_cast<std::size_t>(offset) + data.size(), file.size());
  EXPECT_EQ(file.compare(offset, data.size(), data), 0) << "offset " << offset;
}

}  // namespace

// ---- HYPERPNG and its regions ------------------------------------------------------

TEST(PictureHunks, HyperPngHoldsOnePictureWithRegions) {
  THintFileWriter writer;
  const std::string png = TinyPng(40, 30);
  const std::string lampPng = TinyPng(3, 2);
  auto room = Subject("Room", {Hint("What now?", {"look"})});
  auto lamp = writer.Overlay("Lamp", lampPng, 7, -2);
  lamp->Plain("a dropped overlay line");
  auto note = Hint("Note", {"n"});
  auto map = writer.HyperPng("Map", png, {{0, 0, 10, 10, room}, {-5, 6, 70, 80, lamp}, {1, 2, 3, 4, note}});
  auto after = Hint("After", {"a"});
  writer.Hunks = {Subject("Game", {map, after})};
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Map", "After"}));
  EXPECT_EQ(ItemLine(*root, 1), after->LineNumber);

  auto* hyper = ItemAs<THyperPNGHunk>(*root, 0);
  ASSERT_NE(hyper, nullptr);
  EXPECT_EQ(hyper->KindCode(), Kind::HyperPng);
  EXPECT_EQ(hyper->LineNumber, map->LineNumber);
  EXPECT_EQ(hyper->LineCount, map->Lines());
  ASSERT_EQ(hyper->ItemCount(), 1u);
  TPNGObject* picture = hyper->Image();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture, hyper->ItemAt(0));
  EXPECT_EQ(picture->KindCode(), Kind::PngObject);
  EXPECT_EQ(picture->Owner, hyper);
  EXPECT_EQ(picture->Text, "");
  EXPECT_EQ(picture->LineCount, 0);
  EXPECT_EQ(picture->LineNumber, map->LineNumber + 1);  // the title line
  EXPECT_EQ(picture->Bitmap, nullptr);
  EXPECT_EQ(picture->Overlays, nullptr);
  ExpectDataAt(bytes, picture->DataOffset, picture->DataLength, png);

  ASSERT_EQ(picture->Regions.size(), 3u);
  ASSERT_EQ(picture->ItemCount(), 3u);
  const TRegion expected[] = {{0, 0, 10, 10, nullptr}, {-5, 6, 70, 80, nullptr}, {1, 2, 3, 4, nullptr}};
  const TWHunkPtr targets[] = {room, lamp, note};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TRegion& region = picture->Regions[i];
    EXPECT_EQ(region.Left, expected[i].Left);
    EXPECT_EQ(region.Top, expected[i].Top);
    EXPECT_EQ(region.Right, expected[i].Right);
    EXPECT_EQ(region.Bottom, expected[i].Bottom);
    EXPECT_EQ(region.Target, picture->ItemAt(i));
    ASSERT_NE(region.Target, nullptr);
    EXPECT_EQ(region.Target->Owner, picture);
    EXPECT_EQ(region.Target->LineNumber, targets[i]->LineNumber);
  }
  auto* roomNode = dynamic_cast<TMetaTextHunk*>(picture->Regions[0].Target);
  ASSERT_NE(roomNode, nullptr);
  EXPECT_EQ(roomNode->ItemCount(), 1u);

  auto* overlay = dynamic_cast<TOverlayHunk*>(picture->Regions[1].Target);
  ASSERT_NE(overlay, nullptr);
  EXPECT_EQ(overlay->KindCode(), Kind::Overlay);
  EXPECT_EQ(overlay->Text, "Lamp");
  EXPECT_EQ(overlay->LineCount, 4);
  EXPECT_EQ(overlay->X, 7);
  EXPECT_EQ(overlay->Y, -2);
  ExpectDataAt(bytes, overlay->DataOffset, overlay->DataLength, lampPng);
  // Overlay -> picture -> HYPERPNG node.
  EXPECT_EQ(overlay->Owner, picture);
  EXPECT_EQ(overlay->Owner->Owner, hyper);
  EXPECT_EQ(overlay->DataEnd(), 0);
}

TEST(PictureHunks, HyperPngWithoutRegions) {
  THintFileWriter writer;
  const std::string png = TinyPng(2, 2);
  auto map = writer.HyperPng("Plain picture", png);
  writer.Hunks = {Subject("Game", {map, Hint("After", {"a"})})};
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  ASSERT_EQ(ItemTexts(*RootOf(loaded)), (std::vector<std::string>{"Plain picture", "After"}));
  auto* hyper = ItemAs<THyperPNGHunk>(*RootOf(loaded), 0);
  ASSERT_NE(hyper, nullptr);
  EXPECT_EQ(hyper->LineCount, 3);
  TPNGObject* picture = hyper->Image();
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->Regions.empty());
  EXPECT_EQ(picture->ItemCount(), 0u);
  ExpectDataAt(bytes, picture->DataOffset, picture->DataLength, png);
}

TEST(PictureHunks, RegionWithoutReadableHunkAddsNoRegion) {
  // The last region's line is the last line of the text: its hunk cannot be read.
  THintFileWriter writer;
  auto map = writer.HyperPng("Map", TinyPng(2, 2), {{0, 0, 1, 1, Hint("Good", {"g"})}});
  map->Plain("5 5 9 9");
  writer.Hunks = {Subject("Game", {map})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* hyper = ItemAs<THyperPNGHunk>(*RootOf(loaded), 0);
  ASSERT_NE(hyper, nullptr);
  TPNGObject* picture = hyper->Image();
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(picture->Regions.size(), 1u);
  EXPECT_EQ(picture->Regions[0].Target, picture->ItemAt(0));
  EXPECT_EQ(ItemTexts(*picture), std::vector<std::string>{"Good"});
}

TEST(PictureHunks, RegionFollowedByGarbageAddsNoRegion) {
  THintFileWriter writer;
  auto map = writer.HyperPng("Map", TinyPng(2, 2));
  map->Plain("5 5 9 9");
  map->Plain("this is no hunk header");
  map->Plain("nor this");
  writer.Hunks = {Subject("Game", {map})};
  TLoaded loaded;
  LoadBytes(writer.Build(), loaded);
  ASSERT_EQ(loaded.Code, LoadResult::Loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  auto* hyper = ItemAs<THyperPNGHunk>(*RootOf(loaded), 0);
  ASSERT_NE(hyper, nullptr);
  ASSERT_NE(hyper->Image(), nullptr);
  EXPECT_TRUE(hyper->Image()->Regions.empty());
  EXPECT_EQ(hyper->Image()->ItemCount(), 0u);
}

TEST(PictureHunks, InlineImagesMakeThePictureTheNode) {
  THintFileWriter writer;
  const std::string png = TinyPng(5, 5);
  auto map = writer.HyperPng("Map", png, {{1, 2, 3, 4, Hint("Spot", {"s"})}});
  writer.Hunks = {Subject("Help", {map, Hint("After", {"a"})})};
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded, true);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Map", "After"}));
  auto* picture = ItemAs<TPNGObject>(*root, 0);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->KindCode(), Kind::PngObject);
  EXPECT_EQ(picture->Owner, root);
  EXPECT_EQ(picture->LineNumber, map->LineNumber);
  EXPECT_EQ(picture->LineCount, map->Lines());
  ExpectDataAt(bytes, picture->DataOffset, picture->DataLength, png);
  ASSERT_EQ(picture->Regions.size(), 1u);
  EXPECT_EQ(picture->Regions[0].Target, picture->ItemAt(0));
  EXPECT_EQ(picture->Regions[0].Target->Text, "Spot");
}

// ---- GIFA, SOUND and the end of the data -------------------------------------------

TEST(DataHunks, GifaAndSoundLocateTheirData) {
  THintFileWriter writer;
  const std::string gifaBytes = "GIF-animation-bytes";
  const std::string soundBytes = "RIFF-sound-bytes-0123456789";
  auto gifa = writer.Gifa("Anim", gifaBytes);
  gifa->Plain("a dropped line");
  auto sound = writer.Sound("Noise", soundBytes);
  writer.Hunks = {Subject("Game", {gifa, sound, Hint("After", {"a"})})};
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Anim", "Noise", "After"}));

  auto* gifaNode = ItemAs<TGIFaHunk>(*root, 0);
  ASSERT_NE(gifaNode, nullptr);
  EXPECT_EQ(gifaNode->KindCode(), Kind::Gifa);
  EXPECT_EQ(gifaNode->LineCount, 4);
  ExpectDataAt(bytes, gifaNode->DataOffset, gifaNode->DataLength, gifaBytes);
  EXPECT_EQ(gifaNode->DataEnd(), gifaNode->DataOffset + gifaNode->DataLength);

  auto* soundNode = ItemAs<TSoundHunk>(*root, 1);
  ASSERT_NE(soundNode, nullptr);
  EXPECT_EQ(soundNode->KindCode(), Kind::Sound);
  ExpectDataAt(bytes, soundNode->DataOffset, soundNode->DataLength, soundBytes);
  EXPECT_EQ(soundNode->DataEnd(), soundNode->DataOffset + soundNode->DataLength);
}

TEST(DataHunks, RootDataEndIsTheLargestGifaOrSoundEndOfItsSubtree) {
  // Pictures, overlays and TEXT data come after the sounds in the file but
  // do not count; neither does a GIFA outside the root's subtree.
  THintFileWriter writer;
  auto early = writer.Gifa("Early", std::string(10, 'g'));
  auto inPicture = writer.Sound("In picture", std::string(20, 's'));
  auto deep = writer.Sound("Deep", std::string(5, 'd'));
  auto map = writer.HyperPng("Map", TinyPng(8, 8),
                             {{0, 0, 1, 1, inPicture}, {2, 2, 3, 3, writer.Overlay("Over", TinyPng(4, 4), 0, 0)}});
  auto text = writer.Text("Text", 0, {"text data after the sounds"});
  auto outside = writer.Gifa("Outside", std::string(30, 'o'));
  writer.Hunks = {Subject("Game", {early, Subject("Chapter", {deep}), map, text}), outside};
  TLoaded loaded;
  const std::string bytes = LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);

  auto* deepNode = dynamic_cast<TSoundHunk*>(root->FindByTitle("Deep"));
  auto* pictureSound = dynamic_cast<TSoundHunk*>(root->FindByTitle("In picture"));
  auto* hyper = dynamic_cast<THyperPNGHunk*>(root->FindByTitle("Map"));
  ASSERT_NE(deepNode, nullptr);
  ASSERT_NE(pictureSound, nullptr);
  ASSERT_NE(hyper, nullptr);
  ASSERT_NE(hyper->Image(), nullptr);
  // The sound inside the picture comes before the deep one in the data.
  ASSERT_LT(pictureSound->DataEnd(), deepNode->DataEnd());
  ASSERT_GT(static_cast<std::int64_t>(hyper->Image()->DataOffset), deepNode->DataEnd());
  EXPECT_EQ(root->DataEnd(), deepNode->DataEnd());
  EXPECT_EQ(hyper->DataEnd(), pictureSound->DataEnd());
  EXPECT_EQ(hyper->Image()->DataEnd(), pictureSound->DataEnd());

  ASSERT_EQ(loaded.List.size(), 4u);
  auto* outsideNode = dynamic_cast<TGIFaHunk*>(loaded.List[2].get());
  ASSERT_NE(outsideNode, nullptr);
  EXPECT_GT(outsideNode->DataEnd(), root->DataEnd());
}

TEST(DataHunks, RootWithoutGifaOrSoundHasDataEndZero) {
  THintFileWriter writer;
  auto map = writer.HyperPng("Map", TinyPng(8, 8), {{2, 2, 3, 3, writer.Overlay("Over", TinyPng(4, 4), 1, 1)}});
  auto text = writer.Text("Text", 0, {"text data"});
  writer.Hunks = {Subject("Game", {map, text})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  ASSERT_NE(RootOf(loaded), nullptr);
  EXPECT_EQ(RootOf(loaded)->DataEnd(), 0);
}

// ---- LINK ---------------------------------------------------------------------------

TEST(LinkHunks, LabelOfTheTargetInTheRootsSubtree) {
  auto hintA = Hint("A", {"a"});
  auto hintB = Hint("B", {"b"});
  auto toA = Link("To A", hintA);
  auto toLink = Link("To the link", toA);
  auto hintX = Hint("X", {"x"});
  auto toX = Link("To X", hintX);
  auto nowhere = LinkToLine("Nowhere", 999);
  // Links below the root's children, and in another top-level hunk, still
  // search from the root.
  auto fromDeep = Link("From deep", hintA);
  auto fromExtra = Link("From extra", hintB);
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {Subject("Part", {hintA, hintB}), toA, toLink, toX, nowhere,
                                   Subject("Other", {Subject("Deeper", {fromDeep})})}),
                  Subject("Extra", {hintX, fromExtra})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(loaded.List.size(), 4u);
  auto* extra = dynamic_cast<TItemsHunk*>(loaded.List[2].get());
  ASSERT_NE(extra, nullptr);
  root->AssignLabels("");
  extra->AssignLabels("");
  ASSERT_NE(root->FindByTitle("A"), nullptr);
  EXPECT_EQ(root->FindByTitle("A")->Label, "1.1.");
  ASSERT_NE(extra->FindByTitle("X"), nullptr);
  EXPECT_EQ(extra->FindByTitle("X")->Label, "1.");

  const struct {
    const char* Title;
    std::int32_t TargetLine;
    const char* Label;
  } cases[] = {
      {"To A", hintA->LineNumber, "1.1."},
      {"To the link", toA->LineNumber, "1.1."},
      // The target sits in another top-level hunk: only the root's subtree is searched.
      {"To X", hintX->LineNumber, ""},
      {"Nowhere", 999, ""},
      {"From deep", hintA->LineNumber, "1.1."},
      {"From extra", hintB->LineNumber, "1.2."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Title);
    THunk* found = root->FindByTitle(c.Title);
    if (found == nullptr) found = extra->FindByTitle(c.Title);
    auto* link = dynamic_cast<TLinkHunk*>(found);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->KindCode(), Kind::Link);
    EXPECT_EQ(link->LineCount, 3);
    EXPECT_EQ(link->TargetLine, c.TargetLine);
    EXPECT_EQ(link->GetLabel(), c.Label);
  }
}

TEST(LinkHunks, ReadsThreeLinesWhateverItsCount) {
  auto target = Hint("Target", {"t"});
  auto link = Link("Link", target);
  link->CountOverride = 5;
  auto after = Hint("After", {"a"});
  THintFileWriter writer;
  writer.Hunks = {Subject("Game", {target, link, after})};
  TLoaded loaded;
  LoadOk(writer, loaded);
  TItemsHunk* root = RootOf(loaded);
  ASSERT_NE(root, nullptr);
  ASSERT_EQ(ItemTexts(*root), (std::vector<std::string>{"Target", "Link", "After"}));
  auto* linkNode = ItemAs<TLinkHunk>(*root, 1);
  ASSERT_NE(linkNode, nullptr);
  EXPECT_EQ(linkNode->LineCount, 5);
  EXPECT_EQ(linkNode->TargetLine, target->LineNumber);
  EXPECT_EQ(ItemLine(*root, 2), after->LineNumber);
  ASSERT_NE(ItemAs(*root, 2), nullptr);
  EXPECT_EQ(ItemTexts(*ItemAs(*root, 2)), std::vector<std::string>{"a"});
}

// ---- BLANK --------------------------------------------------------------------------

TEST(BlankHunks, ShowNoTextAndConsumeTheirLines) {
  const std::vector<std::vector<std::string>> bodies = {{}, {"the third line"}, {std::string(200, 'z'), "more"}};
  for (const auto& body : bodies) {
    SCOPED_TRACE(body.size());
    auto blank = PlainHunk("BLANK", "Not shown", body);
    auto after = Hint("After", {"a"});
    THintFileWriter writer;
    writer.Hunks = {Subject("Game", {blank, after})};
    TLoaded loaded;
    LoadOk(writer, loaded);
    TItemsHunk* root = RootOf(loaded);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->ItemCount(), 2u);
    auto* blankNode = dynamic_cast<TBlankHunk*>(root->ItemAt(0));
    ASSERT_NE(blankNode, nullptr);
    EXPECT_EQ(blankNode->KindCode(), Kind::Blank);
    EXPECT_EQ(blankNode->GetText(), "");
    EXPECT_EQ(blankNode->LineCount, static_cast<std::int32_t>(2 + body.size()));
    auto* afterNode = ItemAs(*root, 1);
    ASSERT_NE(afterNode, nullptr);
    EXPECT_EQ(afterNode->Text, "After");
    EXPECT_EQ(afterNode->LineNumber, blankNode->LineNumber + blankNode->LineCount);
    EXPECT_EQ(ItemTexts(*afterNode), std::vector<std::string>{"a"});
  }
}
