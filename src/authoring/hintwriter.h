#pragma once
// A writer of hint files, byte for byte: the 88a section, the hunks of the
// newer section with their line counts, scrambled text, embedded data and the
// checksum. On request it writes damaged files too (wrong counts, a wrong or
// missing checksum, a text part cut short), for tests of the reader.
//
// Hunks form a tree of TWHunk values. Lines hold pieces that the writer fills
// in when it lays the file out: offsets and lengths of embedded data, line
// numbers of other hunks, the file length.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/encoders.h"

struct TWHunk;
using TWHunkPtr = std::shared_ptr<TWHunk>;

struct TWPiece {
  enum class TType { Text, BlobOffset, BlobLength, LineOf, FileLength };
  TType Type = TType::Text;
  std::string Text;
  int Blob = -1;
  const TWHunk* Hunk = nullptr;

  static TWPiece Literal(std::string text) { return {TType::Text, std::move(text), -1, nullptr}; }
  static TWPiece Number(std::int64_t value) { return Literal(std::to_string(value)); }
  static TWPiece OffsetOf(int blob) { return {TType::BlobOffset, {}, blob, nullptr}; }
  static TWPiece LengthOf(int blob) { return {TType::BlobLength, {}, blob, nullptr}; }
  static TWPiece LineOf(const TWHunkPtr& hunk) { return {TType::LineOf, {}, -1, hunk.get()}; }
  static TWPiece LengthOfFile() { return {TType::FileLength, {}, -1, nullptr}; }
};

enum class TWEncoding {
  Plain,        // written as it is
  Scramble88a,  // HINT lines
  MaskNested,   // NESTHINT lines
  MaskIncentive // INCENTIVE lines: masked, avoiding "#"
};

// One line of a hunk's body, or a nested hunk in its place.
struct TWLine {
  std::vector<TWPiece> Pieces;
  TWEncoding Encoding = TWEncoding::Plain;
  TWHunkPtr Nested;
};

struct TWHunk {
  std::string Keyword;
  std::string Title;
  std::vector<TWLine> Body;
  // Written in place of the true line count, for damaged files.
  std::optional<std::int32_t> CountOverride;
  // What stands between the count and the keyword.
  std::string Separator = " ";

  // The true number of lines, nested hunks included.
  std::int64_t Lines() const;
  // Header line number in the newer section, known once the file was built.
  std::int32_t LineNumber = 0;

  TWHunk& Plain(std::string text);
  TWHunk& Scrambled88a(std::string text);
  TWHunk& Masked(std::string text);
  TWHunk& Pieces(std::vector<TWPiece> pieces, TWEncoding encoding = TWEncoding::Plain);
  TWHunk& Nest(TWHunkPtr hunk);
};

TWHunkPtr MakeHunk(std::string keyword, std::string title);
// SUBJECT with its child hunks.
TWHunkPtr Subject(std::string title, std::vector<TWHunkPtr> children = {});
// HINT: each line is scrambled with the 88a substitution; "-" separates hints.
TWHunkPtr Hint(std::string title, std::vector<std::string> lines);
// NESTHINT: lines masked; "-" separates hints; nested hunks follow an "=" line.
struct TWNestItem {
  std::string Line;
  TWHunkPtr Hunk;
  TWNestItem(const char* line) : Line(line) {}
  TWNestItem(std::string line) : Line(std::move(line)) {}
  TWNestItem(TWHunkPtr hunk) : Hunk(std::move(hunk)) {}
};
TWHunkPtr NestHint(std::string title, std::vector<TWNestItem> items);
// COMMENT, CREDIT, VERSION, INFO, BLANK or any keyword: plain lines.
TWHunkPtr PlainHunk(std::string keyword, std::string title, std::vector<std::string> lines = {});
TWHunkPtr Link(std::string title, const TWHunkPtr& target);
TWHunkPtr LinkToLine(std::string title, std::int32_t line);
struct TWIncentiveEntry {
  TWHunkPtr Target;           // or
  std::int32_t Line = 0;      // when Target is none
  char Class = 'Y';
};
// INCENTIVE: one masked line of "<line><class>" tokens per entry list.
TWHunkPtr Incentive(std::string title, std::vector<std::vector<TWIncentiveEntry>> lines);

struct TWRegion {
  std::int32_t Left, Top, Right, Bottom;
  TWHunkPtr Target;
};

class THintFileWriter {
 public:
  // The 88a section.
  struct TQuestion {
    std::string Text;
    std::vector<std::string> Hints;
  };
  struct TSubject {
    std::string Text;
    std::vector<TQuestion> Questions;
  };
  std::string Title88a = "Hints";
  std::vector<TSubject> Subjects;
  // When set, line 3 and the body are written as given instead of Subjects.
  std::optional<std::string> Raw88aNumbers;
  std::vector<std::string> Raw88aBody;
  std::vector<std::string> NoteLines;
  // False for the oldest generation: no end marker, no newer section.
  bool EndMarker = true;

  // The newer section: the first hunk is the root.
  std::vector<TWHunkPtr> Hunks;

  // Embedded data; each returns the blob's number.
  int AddBlob(std::string bytes);
  // TEXT data: lines masked with the text-data variant, each ending in CR LF.
  int AddTextBlob(std::vector<std::string> lines);

  TWHunkPtr Text(std::string title, std::int32_t flags, std::vector<std::string> lines);
  TWHunkPtr HyperPng(std::string title, std::string png, std::vector<TWRegion> regions = {});
  TWHunkPtr Overlay(std::string title, std::string png, std::int32_t x, std::int32_t y);
  TWHunkPtr Gifa(std::string title, std::string bytes);
  TWHunkPtr Sound(std::string title, std::string bytes);

  // Layout and damage.
  std::string LineEnd = "\r\n";
  // The keywords of the known hunk kinds in lower case ("subject", "hint"),
  // as hint files in the wild have them; otherwise, and for other keywords,
  // as each hunk gives its keyword.
  bool LowerCaseKeywords = false;
  bool EndOfTextByte = true;
  enum class TChecksum { Correct, Wrong, None };
  TChecksum Checksum = TChecksum::Correct;
  enum class TChecksumPlace { FileEnd, AfterEndOfText };
  TChecksumPlace ChecksumPlace = TChecksumPlace::FileEnd;
  // Cuts the text part to this many bytes before the rest is laid out.
  std::optional<std::size_t> TextLimit;

  // The whole file. Throws TWriterError for text a line cannot hold.
  std::string Build();
  // Builds and writes the file.
  void Save(const std::string& path);

 private:
  // The bytes of one Build (hintwriter.cpp).
  class TFileBuild;
  struct TBlob {
    std::string Bytes;
    std::vector<std::string> TextLines;  // encoded at build time when set
    bool IsText = false;
  };
  std::vector<TBlob> Blobs;
};

// A small valid PNG (an 8-bit grey image of the given size), for pictures in tests.
std::string TinyPng(int width, int height);
