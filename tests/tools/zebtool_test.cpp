#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "authoring/hintwriter.h"
#include "model/datahunks.h"
#include "model/encodings.h"
#include "model/infohunk.h"
#include "model/metatexthunk.h"
#include "model/pngobject.h"
#include "model/texthunk.h"
#include "support/fixtures.h"
#include "tools/commands.h"

using nlohmann::json;

TEST(Zebtool, VersionAndUsage) {
  std::ostringstream out, err;
  EXPECT_EQ(RunZebtool({"--version"}, out, err), 0);
  EXPECT_EQ(out.str(), "zebtool 4.50\n");
  EXPECT_EQ(RunZebtool({}, out, err), 64);
}

// The usage text is laid out from the command table: descriptions in one
// column, a synopsis too long for it with its description on the next line.
TEST(Zebtool, UsageTextLinesUpTheDescriptions) {
  std::ostringstream out, err;
  EXPECT_EQ(RunZebtool({"--help"}, out, err), 0);
  const std::string help = out.str();
  for (const char* lines : {
           "Usage: zebtool COMMAND [ARGUMENTS]\n\nCommands:\n  build SOURCE -o OUT   compile an authoring",
           "\n  decode FILE [-o OUT]  write the whole hint file as text, every hint revealed\n",
           "\n  update [--server HOST]\n                        retrieve the update list, then print it as list does\n",
           "\n\nOptions:\n  --help                show this help\n  --version             show the version\n\n"})
    EXPECT_NE(help.find(lines), std::string::npos) << lines;
}

namespace {

// ---- running the real program -------------------------------------------------

struct TRun {
  int Code = -1;
  std::string Out;
  std::string Err;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The program under test: the path CTest puts in ZEBTOOL, or else the one
// of this build tree (tests/tools_tests beside src/tools/zebtool).
std::string ZebtoolPath() {
  if (const char* tool = std::getenv("ZEBTOOL"); tool != nullptr && *tool != '\0') return tool;
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path tool = self.parent_path().parent_path() / "src" / "tools" / "zebtool";
  return !error && std::filesystem::exists(tool) ? tool.string() : std::string();
}

// Runs zebtool with its output in files.
TRun Zebtool(const std::vector<std::string>& args) {
  const std::string tool = ZebtoolPath();
  if (tool.empty()) {
    ADD_FAILURE() << "zebtool not found: set ZEBTOOL to its path";
    return {};
  }
  TTempDir dir;
  const std::string out = (dir.Path() / "out").string();
  const std::string err = (dir.Path() / "err").string();
  std::string command = Quoted(tool);
  for (const std::string& arg : args) command += " " + Quoted(arg);
  command += " >" + Quoted(out) + " 2>" + Quoted(err) + " </dev/null";
  const int status = std::system(command.c_str());
  TRun run;
  run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Out = ReadAll(out);
  run.Err = ReadAll(err);
  return run;
}

// Each byte of a model text as the code point of the same value, in UTF-8.
std::string CodePoints(const std::string& bytes) {
  std::string utf8;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (b >> 6));
      utf8 += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return utf8;
}

// Checks one JSON object against the object of an in-process load, member
// by member, as the tree command's contract lists them.
void ExpectSameObject(const json& j, const TZEBObject& object, const std::string& where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(j.at("class"), object.ClassName());
  EXPECT_EQ(j.at("kind"), object.KindCode());
  EXPECT_EQ(j.at("text"), CodePoints(object.Text));
  EXPECT_EQ(j.at("flags"),
            json({object.EndsLine, object.IsRule, object.Wraps, object.UseFixedFont, object.SpaceAfter}));
  if (!object.IsNode()) {
    EXPECT_FALSE(j.contains("line"));
    EXPECT_FALSE(j.contains("items"));
    return;
  }
  const auto& node = static_cast<const THunk&>(object);
  EXPECT_EQ(j.at("line"), node.LineNumber);
  EXPECT_EQ(j.at("count"), node.LineCount);
  if (const auto* items = dynamic_cast<const TItemsHunk*>(&node)) {
    EXPECT_EQ(j.at("modes"), json({items->LineMode, items->BreakMode, items->FontMode}));
    ASSERT_EQ(j.at("items").size(), items->Items.size());
    for (std::size_t i = 0; i < items->Items.size(); ++i)
      ExpectSameObject(j["items"][i], *items->Items[i], where + "/" + std::to_string(i));
  } else {
    EXPECT_FALSE(j.contains("items"));
  }
  if (const auto* meta = dynamic_cast<const TMetaTextHunk*>(&node)) {
    EXPECT_EQ(j.at("hintsShown"), meta->HintsShown);
  }
  if (const auto* text = dynamic_cast<const TTextHunk*>(&node)) {
    EXPECT_EQ(j.at("textFlags"), text->TextFlags);
    EXPECT_EQ(j.at("offset"), text->DataOffset);
    EXPECT_EQ(j.at("length"), text->DataLength);
  }
  if (const auto* png = dynamic_cast<const TPNGObject*>(&node)) {
    EXPECT_EQ(j.at("offset"), png->DataOffset);
    EXPECT_EQ(j.at("length"), png->DataLength);
    json regions = json::array();
    for (const TRegion& region : png->Regions) {
      std::size_t index = 0;
      while (index < png->Items.size() && png->Items[index] != region.Target) ++index;
      regions.push_back({region.Left, region.Top, region.Right, region.Bottom, index});
    }
    EXPECT_EQ(j.at("regions"), regions);
  }
  if (const auto* overlay = dynamic_cast<const TOverlayHunk*>(&node)) {
    EXPECT_EQ(j.at("offset"), overlay->DataOffset);
    EXPECT_EQ(j.at("length"), overlay->DataLength);
    EXPECT_EQ(j.at("x"), overlay->X);
    EXPECT_EQ(j.at("y"), overlay->Y);
  }
  if (const auto* data = dynamic_cast<const TDataHunk*>(&node)) {
    EXPECT_EQ(j.at("offset"), data->DataOffset);
    EXPECT_EQ(j.at("length"), data->DataLength);
  }
  if (const auto* link = dynamic_cast<const TLinkHunk*>(&node)) {
    EXPECT_EQ(j.at("target"), link->TargetLine);
  }
  if (const auto* info = dynamic_cast<const TInfoHunk*>(&node)) {
    EXPECT_EQ(j.at("author"), CodePoints(info->Author));
    EXPECT_EQ(j.at("publisher"), CodePoints(info->Publisher));
    EXPECT_EQ(j.at("date"), CodePoints(info->Date));
    EXPECT_EQ(j.at("time"), CodePoints(info->Time));
    EXPECT_EQ(j.at("fileLength"), info->FileLength);
  }
}

// Runs `tree` on the bytes and checks the whole dump against an in-process load.
json TreeOf(const std::string& bytes, const TTempDir& dir) {
  const std::string path = dir.Write("tree.zeb", bytes);
  const TRun run = Zebtool({"tree", path});
  EXPECT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  json tree;
  try {
    tree = json::parse(run.Out);
  } catch (const json::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << run.Out;
    return json::object();
  }
  EXPECT_EQ(tree.at("result"), 0);
  TLoaded loaded;
  LoadBytes(bytes, loaded);
  EXPECT_EQ(loaded.Code, 0);
  EXPECT_EQ(tree.at("objects").size(), loaded.List.size());
  for (std::size_t i = 0; i < loaded.List.size() && i < tree["objects"].size(); ++i)
    ExpectSameObject(tree["objects"][i], *loaded.List[i], "object " + std::to_string(i));
  return tree;
}

// The first object in the dump (depth first) whose text is `text`.
const json* Find(const json& object, const std::string& text) {
  if (object.is_object() && object.contains("text") && object["text"] == text) return &object;
  const json* children = nullptr;
  if (object.is_object() && object.contains("items")) children = &object["items"];
  if (object.is_object() && object.contains("objects")) children = &object["objects"];
  if (children != nullptr)
    for (const json& child : *children)
      if (const json* found = Find(child, text)) return found;
  return nullptr;
}

std::vector<std::string> ClassesOf(const json& items) {
  std::vector<std::string> classes;
  for (const json& item : items) classes.push_back(item.at("class"));
  return classes;
}

}  // namespace

TEST(ZebtoolTree, OldestGenerationFile) {
  THintFileWriter file;
  file.Title88a = "Caf\xE9 \xFF";
  file.Subjects = {{"Garden", {{"How do I get in", {"Try the gate.", "It opens for \xE9t\xE9 only."}}}}};
  file.NoteLines = {"Note with \xA0 byte"};
  file.EndMarker = false;
  TTempDir dir;
  const json tree = TreeOf(file.Build(), dir);
  ASSERT_EQ(tree.at("objects").size(), 1u);
  const json& top = tree["objects"][0];
  EXPECT_EQ(top.at("class"), "TMetaTextHunk");
  EXPECT_EQ(top.at("kind"), 4);
  EXPECT_EQ(top.at("text"), "Caf\u00e9 \u00ff");
  EXPECT_EQ(top.at("line"), 0);
  EXPECT_EQ(top.at("count"), 0);
  EXPECT_EQ(top.at("modes"), json({0, 0, 0}));
  EXPECT_EQ(top.at("hintsShown"), 0);
  ASSERT_EQ(top.at("items").size(), 2u);

  const json& question = top["items"][0]["items"][0];
  EXPECT_EQ(question.at("kind"), 3);
  EXPECT_EQ(question.at("text"), "How do I get in?");
  EXPECT_EQ(question.at("line"), 3);
  EXPECT_EQ(ClassesOf(question.at("items")), (std::vector<std::string>{"THunkLine", "THunkLine", "THunkLine"}));
  const json& separator = question["items"][1];
  EXPECT_EQ(separator.at("text"), "-");
  EXPECT_EQ(separator.at("kind"), 17);
  EXPECT_EQ(separator.at("flags"), json({1, 1, 1, 0, 1}));
  EXPECT_FALSE(separator.contains("line"));
  EXPECT_EQ(question["items"][2].at("text"), "It opens for \u00e9t\u00e9 only.");

  const json& note = top["items"][1];
  EXPECT_EQ(note.at("kind"), 1);
  EXPECT_EQ(note.at("text"), "A note from the author");
  EXPECT_EQ(note["items"][0].at("text"), "Note with \u00a0 byte");
}

TEST(ZebtoolTree, NewerFileWithEveryExtra) {
  THintFileWriter file;
  file.Title88a = "Old";
  file.Subjects = {{"S", {{"Q", {"H"}}}}};
  const std::vector<std::string> textLines = {"Fixed line one", "Fixed line two"};
  const std::string png = TinyPng(8, 6);
  const std::string shade = TinyPng(4, 3);
  const std::string sound(50, '\x05');
  auto hint = Hint("Door?", {"Try the #p-LOOK#p+ command.", "Second line", "-", "Last hint"});
  auto overlay = file.Overlay("Shade", shade, 7, 9);
  auto corner = Hint("Corner", {"Top right."});
  auto map = file.HyperPng("Map", png, {{0, 0, 4, 3, corner}, {4, 3, 8, 6, overlay}});
  auto text = file.Text("Notes", 3, textLines);
  auto link = Link("To the door", hint);
  auto gifa = file.Gifa("Old picture", "GIF89a");
  auto soundHunk = file.Sound("Creak", sound);
  auto root = Subject("Root", {hint, NestHint("Nest", {"Nested line", "-", "Two"}), map,
                               text, link, gifa, soundHunk, PlainHunk("BLANK", "Blank title"),
                               PlainHunk("COMMENT", "Accents", {"d\xE9j\xE0 vu \xFF"})});
  auto info = PlainHunk("INFO", "", {"AUTHOR=Ann \xC9", "PUBLISHER=Pub", "DATE=01-Feb-99", "TIME=09:30"});
  info->Pieces({TWPiece::Literal("LENGTH="), TWPiece::LengthOfFile()});
  file.Hunks = {root, PlainHunk("VERSION", "96a", {"Writer"}), info};
  const std::string bytes = file.Build();

  TTempDir dir;
  const json tree = TreeOf(bytes, dir);
  ASSERT_EQ(tree.at("objects").size(), 4u);
  EXPECT_EQ(ClassesOf(tree["objects"]),
            (std::vector<std::string>{"TMetaTextHunk", "TMetaTextHunk", "TMetaTextHunk", "TInfoHunk"}));
  const json& rootJson = tree["objects"][1];
  EXPECT_EQ(rootJson.at("line"), 1);
  EXPECT_EQ(rootJson.at("count"), root->Lines());
  EXPECT_EQ(ClassesOf(rootJson.at("items")),
            (std::vector<std::string>{"TMetaTextHunk", "TMetaTextHunk", "THyperPNGHunk", "TTextHunk", "TLinkHunk",
                                      "TGIFaHunk", "TSoundHunk", "TBlankHunk", "TMetaTextHunk"}));

  const json* door = Find(tree, "Door?");
  ASSERT_NE(door, nullptr);
  EXPECT_EQ(door->at("kind"), 3);
  EXPECT_EQ(door->at("line"), hint->LineNumber);
  EXPECT_EQ(door->at("count"), 6);
  // "Try the " and "LOOK" are pieces cut before a command; " command." ends
  // the line's text and flows on.
  const json& items = door->at("items");
  ASSERT_GE(items.size(), 4u);
  EXPECT_EQ(items[0].at("text"), "Try the ");
  EXPECT_EQ(items[0].at("flags"), json({0, 0, 1, 0, 0}));
  EXPECT_EQ(items[1].at("text"), "LOOK");
  EXPECT_EQ(items[1].at("flags"), json({0, 0, 1, 1, 0}));
  EXPECT_EQ(items[2].at("text"), " command.");
  EXPECT_EQ(items[2].at("flags"), json({0, 0, 1, 0, 1}));
  EXPECT_EQ(door->at("modes"), json({0, 0, 2}));

  const json* nest = Find(tree, "Nest");
  ASSERT_NE(nest, nullptr);
  EXPECT_EQ(nest->at("kind"), 10);
  EXPECT_EQ(nest->at("hintsShown"), 0);

  const json* mapJson = Find(tree, "Map");
  ASSERT_NE(mapJson, nullptr);
  EXPECT_EQ(mapJson->at("kind"), 12);
  const json& picture = mapJson->at("items").at(0);
  EXPECT_EQ(picture.at("class"), "TPNGObject");
  EXPECT_EQ(picture.at("kind"), 16);
  EXPECT_EQ(bytes.substr(picture.at("offset").get<std::size_t>(), picture.at("length").get<std::size_t>()), png);
  EXPECT_EQ(ClassesOf(picture.at("items")), (std::vector<std::string>{"TMetaTextHunk", "TOverlayHunk"}));
  EXPECT_EQ(picture.at("regions"), json::parse("[[0, 0, 4, 3, 0], [4, 3, 8, 6, 1]]"));
  const json& shadeJson = picture["items"][1];
  EXPECT_EQ(shadeJson.at("x"), 7);
  EXPECT_EQ(shadeJson.at("y"), 9);
  EXPECT_EQ(bytes.substr(shadeJson.at("offset").get<std::size_t>(), shadeJson.at("length").get<std::size_t>()),
            shade);

  const json* notes = Find(tree, "Notes");
  ASSERT_NE(notes, nullptr);
  EXPECT_EQ(notes->at("textFlags"), 3);
  EXPECT_EQ(notes->at("modes"), json({1, 2, 1}));
  // The offset and length cover the scrambled text data, CR LF line ends included.
  std::string data = bytes.substr(notes->at("offset").get<std::size_t>(), notes->at("length").get<std::size_t>());
  std::vector<std::string> decoded;
  for (std::size_t at = 0, end; (end = data.find("\r\n", at)) != std::string::npos; at = end + 2) {
    std::string line = data.substr(at, end - at);
    DecodeWithMask(line, TitleMask("Root"), TMaskVariant::TextData);
    decoded.push_back(line);
  }
  EXPECT_EQ(decoded, textLines);
  EXPECT_EQ(notes->at("items").at(0).at("flags"), json({1, 0, 0, 1, 1}));

  const json* linkJson = Find(tree, "To the door");
  ASSERT_NE(linkJson, nullptr);
  EXPECT_EQ(linkJson->at("target"), hint->LineNumber);
  EXPECT_FALSE(linkJson->contains("items"));

  const json* soundJson = Find(tree, "Creak");
  ASSERT_NE(soundJson, nullptr);
  EXPECT_EQ(soundJson->at("kind"), 14);
  EXPECT_EQ(bytes.substr(soundJson->at("offset").get<std::size_t>(), soundJson->at("length").get<std::size_t>()),
            sound);
  const json* gifaJson = Find(tree, "Old picture");
  ASSERT_NE(gifaJson, nullptr);
  EXPECT_EQ(gifaJson->at("kind"), 2);
  EXPECT_EQ(gifaJson->at("length"), 6);

  const json* blank = Find(tree, "Blank title");
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(blank->at("kind"), 6);

  const json* accents = Find(tree, "Accents");
  ASSERT_NE(accents, nullptr);
  EXPECT_EQ(accents->at("items").at(0).at("text"), "d\u00e9j\u00e0 vu \u00ff");

  const json& infoJson = tree["objects"][3];
  EXPECT_EQ(infoJson.at("kind"), 8);
  EXPECT_EQ(infoJson.at("text"), "Root File Information");
  EXPECT_EQ(infoJson.at("author"), "Ann \u00c9");
  EXPECT_EQ(infoJson.at("publisher"), "Pub");
  EXPECT_EQ(infoJson.at("date"), "01-Feb-99");
  EXPECT_EQ(infoJson.at("time"), "09:30");
  EXPECT_EQ(infoJson.at("fileLength"), bytes.size());
  EXPECT_EQ(tree["objects"][2].at("kind"), 5);
  EXPECT_EQ(tree["objects"][2].at("text"), "96a");
}

namespace {

const std::string CannotOpenTail =
    " could not be opened.  Make sure that this file exists, and that no other application is using it.";

struct TDamaged {
  const char* Name;
  std::string Bytes;
  int Code;
  std::string Message;
};

std::vector<TDamaged> DamagedFiles() {
  THintFileWriter wrong;
  wrong.Hunks = {Subject("Root", {Hint("Q", {"A"})})};
  wrong.Checksum = THintFileWriter::TChecksum::Wrong;
  return {
      {"not a hint file", "ZEB \r\nTitle\r\n", 1, "The file you have tried to open is not a ZEB file."},
      {"wrong checksum", wrong.Build(), 2,
       "The hint file you have tried to open has been corrupted.  Try downloading it again, and contact the ZEB "
       "for support if you continue receive this error."},
      {"ZIP archive", std::string("PK\x03\x04rest", 8), 4,
       "The file you have tried to open is a ZIP-compressed archive.  You must first uncompress .ZIP files before "
       "loading them into the ZEB reader."},
  };
}

}  // namespace

TEST(ZebtoolTree, DamagedFileExitsWithItsCode) {
  TTempDir dir;
  for (const TDamaged& damaged : DamagedFiles()) {
    SCOPED_TRACE(damaged.Name);
    const std::string path = dir.Write("damaged.zeb", damaged.Bytes);
    const TRun tree = Zebtool({"tree", path});
    EXPECT_EQ(tree.Code, damaged.Code);
    EXPECT_EQ(json::parse(tree.Out), json::parse(R"({"result": )" + std::to_string(damaged.Code) + R"(, "objects": []})"));
    EXPECT_EQ(tree.Err, damaged.Message + "\n");

    const TRun verify = Zebtool({"verify", path});
    EXPECT_EQ(verify.Code, damaged.Code);
    EXPECT_EQ(verify.Out, "");
    EXPECT_EQ(verify.Err, damaged.Message + "\n");
  }
}

TEST(ZebtoolTree, MissingFileExitsWithFive) {
  TTempDir dir;
  const std::string path = (dir.Path() / "no such file.zeb").string();
  const TRun tree = Zebtool({"tree", path});
  EXPECT_EQ(tree.Code, 5);
  EXPECT_EQ(json::parse(tree.Out), json::parse(R"({"result": 5, "objects": []})"));
  EXPECT_EQ(tree.Err, path + CannotOpenTail + "\n");

  const TRun verify = Zebtool({"verify", path});
  EXPECT_EQ(verify.Code, 5);
  EXPECT_EQ(verify.Out, "");
  EXPECT_EQ(verify.Err, path + CannotOpenTail + "\n");
}

TEST(ZebtoolVerify, GoodFilesPrintOk) {
  THintFileWriter newer;
  newer.Hunks = {Subject("Root", {Hint("Q", {"A"})})};
  THintFileWriter oldest;
  oldest.Subjects = {{"S", {{"Q", {"H"}}}}};
  oldest.EndMarker = false;
  TTempDir dir;
  for (THintFileWriter* file : {&newer, &oldest}) {
    const TRun run = Zebtool({"verify", dir.Write("good.zeb", file->Build())});
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Out, "ok\n");
    EXPECT_EQ(run.Err, "");
  }
}

TEST(ZebtoolUsage, WrongArgumentsExit64AndHelpListsTheCommands) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"tree"}, {"tree", "a.zeb", "b.zeb"}, {"verify"}, {"verify", "a", "b"}, {"no-such-command"}};
  for (const auto& args : wrong) {
    const TRun run = Zebtool(args);
    EXPECT_EQ(run.Code, 64) << testing::PrintToString(args);
    EXPECT_EQ(run.Out, "") << testing::PrintToString(args);
    EXPECT_NE(run.Err, "") << testing::PrintToString(args);
  }
  const TRun help = Zebtool({"--help"});
  EXPECT_EQ(help.Code, 0);
  EXPECT_NE(help.Out.find("tree FILE"), std::string::npos) << help.Out;
  EXPECT_NE(help.Out.find("verify FILE"), std::string::npos) << help.Out;
}
